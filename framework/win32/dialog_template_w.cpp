#include "framework/win32/dialog_template_w.h"

#include <cstring>
#include <string>

#include "framework/placement.h"
#include "framework/translate.h"

namespace linkmate::fw::win32 {
namespace {

// Appends to a byte buffer with the alignment the format asks for.
class TemplateWriter {
public:
    void Word(WORD value) { Raw(&value, sizeof value); }
    void Dword(DWORD value) { Raw(&value, sizeof value); }
    void Short(short value) { Raw(&value, sizeof value); }
    void Byte(BYTE value) { Raw(&value, sizeof value); }
    void String(const std::wstring& text) {
        Raw(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    // A resource number where a name may stand.
    void Ordinal(WORD value) {
        Word(0xFFFF);
        Word(value);
    }
    void AlignDword() {
        while (m_bytes.size() % 4 != 0) m_bytes.push_back(0);
    }
    std::vector<DWORD> Finish() {
        AlignDword();
        std::vector<DWORD> words(m_bytes.size() / 4);
        std::memcpy(words.data(), m_bytes.data(), m_bytes.size());
        return words;
    }

private:
    void Raw(const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    }
    std::vector<unsigned char> m_bytes;
};

constexpr WORD kDialogExVersion = 1;
constexpr WORD kDialogExSignature = 0xFFFF;
constexpr WORD kFontWeightNormal = FW_NORMAL;

std::wstring TemplateText(const DialogTemplate& tmpl, const std::string& text) {
    return text.empty() ? std::wstring() : Widen(Translate(tmpl.context.c_str(), text.c_str()));
}

}  // namespace

const wchar_t* ControlClass(ControlKind kind) {
    switch (kind) {
        case ControlKind::kText:
        case ControlKind::kIcon:
        case ControlKind::kBitmap:
        case ControlKind::kEtchedLine: return L"STATIC";
        case ControlKind::kDropDownList: return L"COMBOBOX";
        case ControlKind::kEdit: return L"EDIT";
        case ControlKind::kPushButton:
        case ControlKind::kDefPushButton:
        case ControlKind::kAutoCheckBox: return L"BUTTON";
        case ControlKind::kUpDown: return UPDOWN_CLASSW;
        case ControlKind::kListView: return WC_LISTVIEWW;
        case ControlKind::kListBox: return L"LISTBOX";
    }
    return L"STATIC";
}

DWORD ControlStyle(const ControlTemplate& c) {
    DWORD style = WS_CHILD;
    if (!(c.style & kHidden)) style |= WS_VISIBLE;
    if (c.style & kDisabled) style |= WS_DISABLED;
    if (c.style & kTabStop) style |= WS_TABSTOP;
    if (c.style & kGroup) style |= WS_GROUP;
    switch (c.kind) {
        case ControlKind::kText: style |= (c.style & kWrap) ? SS_LEFT : SS_LEFTNOWORDWRAP; break;
        case ControlKind::kIcon: style |= SS_ICON; break;
        case ControlKind::kBitmap: style |= SS_BITMAP | SS_REALSIZEIMAGE; break;
        case ControlKind::kEtchedLine: style |= SS_ETCHEDHORZ; break;
        case ControlKind::kDropDownList:
            // Drawn by the window: an entry may carry a detail beside it in the opened list.
            style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL;
            break;
        case ControlKind::kEdit: style |= ES_AUTOHSCROLL | WS_BORDER; break;
        case ControlKind::kPushButton: style |= BS_PUSHBUTTON; break;
        case ControlKind::kDefPushButton: style |= BS_DEFPUSHBUTTON; break;
        case ControlKind::kAutoCheckBox: style |= BS_AUTOCHECKBOX; break;
        case ControlKind::kUpDown:
            // Bound to the control before it, which gives up the room at its right edge; the
            // arrows (and the arrow keys in the buddy) step the buddy's decimal value.
            style |=
                UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
            break;
        case ControlKind::kListView:
            style |= LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER;
            break;
        case ControlKind::kListBox: style |= LBS_NOTIFY | WS_VSCROLL | WS_BORDER; break;
    }
    return style;
}

std::vector<DWORD> BuildDialogTemplate(const DialogTemplate& tmpl, const DialogFrame& frame) {
    TemplateWriter w;
    const size_t count = frame.withControls ? tmpl.controls.size() : 0;
    w.Word(kDialogExVersion);
    w.Word(kDialogExSignature);
    w.Dword(0);  // help id
    w.Dword(frame.exStyle);
    w.Dword(frame.style | DS_SETFONT | DS_FIXEDSYS);  // DS_SHELLFONT: the template's font, themed
    w.Word(static_cast<WORD>(count));
    w.Short(0);
    w.Short(0);
    w.Short(static_cast<short>(tmpl.cx));
    w.Short(static_cast<short>(tmpl.cy));
    w.Word(0);  // no menu
    w.Word(0);  // the dialog class
    w.String(TemplateText(tmpl, tmpl.caption));
    w.Word(static_cast<WORD>(tmpl.pointSize));
    w.Word(kFontWeightNormal);
    w.Byte(FALSE);  // italic
    w.Byte(DEFAULT_CHARSET);
    w.String(Widen(tmpl.fontName));
    for (size_t i = 0; i < count; ++i) {
        const ControlTemplate& c = tmpl.controls[i];
        w.AlignDword();
        w.Dword(0);  // help id
        w.Dword(c.kind == ControlKind::kEdit || c.kind == ControlKind::kListView ||
                        c.kind == ControlKind::kListBox
                    ? WS_EX_CLIENTEDGE
                    : 0);
        w.Dword(ControlStyle(c) & ~(c.kind == ControlKind::kEdit ? WS_BORDER : 0));
        w.Short(static_cast<short>(LaidOutX(tmpl, i)));
        w.Short(static_cast<short>(c.y));
        w.Short(static_cast<short>(c.cx));
        w.Short(static_cast<short>(c.cy));
        w.Dword(static_cast<DWORD>(c.id));
        w.String(ControlClass(c.kind));
        if (c.kind == ControlKind::kIcon) {
            w.Ordinal(static_cast<WORD>(c.resource));
        } else if (c.kind == ControlKind::kBitmap) {
            w.String(L"");  // a PNG, set once the control is there (LoadPngBitmap)
        } else {
            w.String(TemplateText(tmpl, c.text));
        }
        w.Word(0);  // no creation data
    }
    return w.Finish();
}

}  // namespace linkmate::fw::win32
