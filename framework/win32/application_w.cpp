// The application, the translations, the wait cursor, the timer, the message and file dialogs,
// on USER32, COMCTL32 and COMDLG32.
#include "framework/win32/window_w.h"

#include <commdlg.h>

#include <memory>
#include <vector>

#include "framework/application.h"
#include "framework/backend.h"
#include "framework/catalogue_source.h"
#include "framework/file_dialog.h"
#include "framework/message_box.h"
#include "framework/translate.h"
#include "framework/win32/details_box_w.h"

namespace linkmate::fw {
namespace {

std::string& Name() {
    static std::string name = "linkmate";
    return name;
}

CatalogueTable& Catalogue() {
    static CatalogueTable table;
    return table;
}

class Win32Timer : public Timer::Peer {
public:
    ~Win32Timer() override { Stop(); }
    void Start(std::chrono::milliseconds interval, bool repeat,
               std::function<void()> tick) override {
        Stop();
        m_tick = std::move(tick);
        m_repeat = repeat;
        m_id = win32::StartTimer(interval, [this] {
            if (!m_repeat) Stop();
            const std::function<void()> run = m_tick;
            run();
        });
    }
    void Stop() override {
        win32::StopTimer(m_id);
        m_id = 0;
    }
    bool IsActive() const override { return m_id != 0; }

private:
    UINT_PTR m_id = 0;
    bool m_repeat = false;
    std::function<void()> m_tick;
};

class Win32WaitCursor : public WaitCursor::Peer {
public:
    Win32WaitCursor() { win32::AddWaitCursor(+1); }
    ~Win32WaitCursor() override { win32::AddWaitCursor(-1); }
};

HWND OwnerWindow(CWnd* owner) {
    if (owner == nullptr) return nullptr;
    auto* host = dynamic_cast<win32::WindowHost*>(owner->peer());
    return host ? GetAncestor(host->TopWindow(), GA_ROOT) : nullptr;
}

// "Name (*.reg);;All files (*)" as the common dialogs take it: name, pattern, ..., two nulls.
std::wstring FilterList(const std::string& filter, std::wstring& defaultExtension) {
    std::wstring list;
    size_t start = 0;
    while (start <= filter.size()) {
        size_t end = filter.find(";;", start);
        if (end == std::string::npos) end = filter.size();
        const std::string entry = filter.substr(start, end - start);
        const size_t open = entry.rfind('(');
        const size_t close = entry.rfind(')');
        std::string pattern = open != std::string::npos && close > open
                                  ? entry.substr(open + 1, close - open - 1)
                                  : "*";
        for (char& c : pattern) {
            if (c == ' ') c = ';';
        }
        if (pattern == "*") pattern = "*.*";
        if (defaultExtension.empty() && pattern.rfind("*.", 0) == 0 && pattern != "*.*") {
            defaultExtension = win32::Widen(pattern.substr(2, pattern.find(';') == std::string::npos
                                                                  ? std::string::npos
                                                                  : pattern.find(';') - 2));
        }
        if (!entry.empty()) {
            list += win32::Widen(entry) + L'\0' + win32::Widen(pattern) + L'\0';
        }
        start = end + 2;
    }
    return list + L'\0';
}

constexpr int kAlternativeId = 100;

// The box opens centred on its owner, as the dialogs do.
HRESULT CALLBACK MessageBoxEvents(HWND box, UINT note, WPARAM, LPARAM, LONG_PTR owner) {
    if (note == TDN_CREATED) win32::PlaceOnOwner(box, reinterpret_cast<HWND>(owner));
    return S_OK;
}

}  // namespace

namespace {

class Win32Application : public Application::Peer {
public:
    explicit Win32Application(const std::string& name) : m_previousName(Name()) {
        INITCOMMONCONTROLSEX controls = {
            sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_TAB_CLASSES |
                                 ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        win32::DispatchWindow();
        Name() = name;
    }
    ~Win32Application() override { Name() = m_previousName; }

private:
    std::string m_previousName;
};

}  // namespace

std::unique_ptr<Application::Peer> backend::StartApplication(char**, const std::string& name,
                                                             const std::string&) {
    return std::make_unique<Win32Application>(name);
}

std::string ApplicationName() { return Name(); }

std::unique_ptr<Timer::Peer> backend::CreateTimer() { return std::make_unique<Win32Timer>(); }
std::unique_ptr<WaitCursor::Peer> backend::ShowWaitCursor() {
    return std::make_unique<Win32WaitCursor>();
}

std::string Translate(const char* context, const char* source) {
    const auto it = Catalogue().find({context, source});
    return it == Catalogue().end() ? std::string(source) : it->second;
}

bool LoadCatalogue(const std::string& language) {
    Catalogue().clear();
    // The translation sources are built into the program as resources "LINKMATE_<language>".
    std::wstring name = L"LINKMATE_" + win32::Widen(language);
    const HRSRC found =
        FindResourceW(win32::Instance(), name.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (found == nullptr) return false;
    const HGLOBAL loaded = LoadResource(win32::Instance(), found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) return false;
    Catalogue() = ParseCatalogueSource(
        std::string_view(static_cast<const char*>(data), SizeofResource(win32::Instance(), found)));
    return true;
}

std::string PlatformLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE ? "zh_CN" : "en";
}

bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    return win32::ProcessEventsUntil(done, timeout);
}

namespace backend {

int ShowMessageBox(const MessageBoxCall& call) {
    const HWND owner = OwnerWindow(call.owner);
    if (!call.details.empty()) return win32::ShowDetailsBox(call, owner);
    const bool question = call.buttons == MessageButtons::kYesNo;
    std::wstring content = win32::Widen(call.text);
    if (!call.detail.empty()) content += L"\n\n" + win32::Widen(call.detail);
    const std::wstring caption = win32::Widen(call.caption);

    TASKDIALOGCONFIG config = {};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    config.hInstance = win32::Instance();
    config.dwFlags = TDF_POSITION_RELATIVE_TO_WINDOW;
    if (!question)
        config.dwFlags |= TDF_ALLOW_DIALOG_CANCELLATION;  // Esc closes a message, never answers
    // The answers in the window's language, not the system's: buttons of our own with the
    // standard identifiers.
    const std::wstring yes = win32::Widen(Translate("CMessageBox", "&Yes"));
    const std::wstring no = win32::Widen(Translate("CMessageBox", "&No"));
    const std::wstring ok = win32::Widen(Translate("CMessageBox", "OK"));
    config.nDefaultButton = question ? IDNO : IDOK;
    config.pszWindowTitle = caption.c_str();
    config.pszContent = content.c_str();
    switch (call.icon) {
        case MessageIcon::kExclamation: config.pszMainIcon = TD_WARNING_ICON; break;
        case MessageIcon::kQuestion:
            // The task dialog has no question mark of its own; the system's icon stands in.
            config.dwFlags |= TDF_USE_HICON_MAIN;
            config.hMainIcon = LoadIconW(nullptr, IDI_QUESTION);
            break;
        case MessageIcon::kNone: break;
    }
    const std::wstring alternative = win32::Widen(call.alternative);
    config.pfCallback = MessageBoxEvents;
    config.lpCallbackData = reinterpret_cast<LONG_PTR>(owner);
    std::vector<TASKDIALOG_BUTTON> buttons;
    if (question && !alternative.empty()) buttons.push_back({kAlternativeId, alternative.c_str()});
    // After the box's own answers, as the system places its standard buttons.
    if (question) {
        buttons.push_back({IDYES, yes.c_str()});
        buttons.push_back({IDNO, no.c_str()});
    } else {
        buttons.push_back({IDOK, ok.c_str()});
    }
    config.pButtons = buttons.data();
    config.cButtons = static_cast<UINT>(buttons.size());
    int pressed = 0;
    if (SUCCEEDED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) {
        return pressed == IDYES            ? kAnswerYes
               : pressed == kAlternativeId ? kAnswerAlternative
                                           : kAnswerNo;
    }
    // Without the task dialog (an old common controls library): the plain box.
    UINT type = question ? MB_YESNO | MB_DEFBUTTON2 : MB_OK;
    if (call.icon == MessageIcon::kExclamation) type |= MB_ICONEXCLAMATION;
    if (call.icon == MessageIcon::kQuestion) type |= MB_ICONQUESTION;
    return MessageBoxW(owner, content.c_str(), caption.c_str(), type) == IDYES ? kAnswerYes
                                                                               : kAnswerNo;
}

std::string ShowFileDialog(CWnd* owner, const FileDialogCall& call) {
    const FileDialogKind kind = call.kind;
    std::wstring defaultExtension = win32::Widen(call.defaultExtension);
    const std::wstring filters = FilterList(call.filter, defaultExtension);
    const std::wstring caption = win32::Widen(call.title);
    // `start` is a folder, or a suggested file in one.
    std::wstring folder = win32::Widen(call.start);
    std::wstring path(MAX_PATH * 4, L'\0');
    const DWORD attributes =
        folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
    if (!folder.empty() &&
        (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))) {
        const size_t slash = folder.find_last_of(L"\\/");
        const std::wstring name = slash == std::wstring::npos ? folder : folder.substr(slash + 1);
        folder = slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
        name.copy(path.data(), std::min(name.size(), path.size() - 1));
    }
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = OwnerWindow(owner);
    dialog.lpstrFilter = filters.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = caption.c_str();
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   (kind == FileDialogKind::kSave ? OFN_OVERWRITEPROMPT
                                                  : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    const BOOL chosen =
        kind == FileDialogKind::kSave ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    return chosen ? win32::Narrow(std::wstring(path.c_str())) : std::string();
}

}  // namespace backend
}  // namespace linkmate::fw
