// What a toolkit backend provides to the framework. The neutral classes call these factories and
// peer interfaces and nothing else of a backend; exactly one backend folder (framework/qt/ or
// framework/win32/) defines them, chosen by the build.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "framework/application.h"
#include "framework/window.h"

namespace linkmate::fw {

class CDialog;
class CPropertySheet;
struct DialogTemplate;
struct MessageBoxCall;
struct FileDialogCall;

namespace backend {

// Where a dialog's window goes: inside `parent`, on a sheet's tab control as a page, or a pop-up
// owned by `parent` (which may be nullptr).
enum class Placement { kChild, kPage, kPopup };

// What a backend knows of every window it made, in its toolkit's window handle (`Native`): the
// window itself, and where a sheet's pages go.
template <typename Native>
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual Native TopWindow() const = 0;
    virtual Native PageHost() const { return TopWindow(); }
};

// The native window that a dialog's window placed as `placement` goes into; none when `parent` is
// none or not a window of this backend.
template <typename Native>
Native ParentWindow(WindowPeer* parent, Placement placement) {
    auto* host = dynamic_cast<WindowHost<Native>*>(parent);
    if (host == nullptr) return Native{};
    return placement == Placement::kPage ? host->PageHost() : host->TopWindow();
}

// The window of `dialog` with its controls from its template.
std::unique_ptr<WindowPeer> CreateDialogWindow(CDialog& dialog, WindowPeer* parent,
                                               Placement placement);

// The pixel size of a template in its own font.
Size TemplateSize(const DialogTemplate& tmpl);

// What a property sheet needs beyond its window: the tab control (12320), its tabs and the place
// of the pages, and controls of its own. The sheet lays them out itself; the window's controls,
// these included, are the window's items.
class SheetPeer {
public:
    virtual ~SheetPeer() = default;
    // Pixels of `units`, dialog units of the sheet's font: x and width across, y and height down.
    virtual Rect DialogUnitsToPixels(const Rect& units) const = 0;
    // Creates the tab control with its top left corner at `x`, `y`, a tab per title, as large as
    // pages of `pageSize` need; returns its place.
    virtual Rect AddTabControl(const std::vector<std::string>& titles, Size pageSize, int x,
                               int y) = 0;
    virtual void SelectTab(int index) = 0;
    virtual int CurrentTab() const = 0;
    virtual int TabCount() const = 0;
    virtual std::string TabText(int index) const = 0;
    // Where a page stands, in the coordinates of the window the pages are placed in.
    virtual Rect PageArea() const = 0;
    // A control of the sheet's own (a push button sends its command to the sheet); nullptr for a
    // kind a sheet does not carry.
    virtual ControlPeer* AddControl(int id, ControlKind kind, const std::string& text) = 0;
    // What a screen reader says about the window beyond its title.
    virtual void SetAccessibleDescription(const std::string& text) = 0;
};
// A sheet's window and its sheet part, which lives as long as the window.
struct SheetWindowPeers {
    std::unique_ptr<WindowPeer> window;
    SheetPeer* sheet = nullptr;
};
SheetWindowPeers CreateSheetWindow(CPropertySheet& sheet, const std::string& caption);
// For a backend whose sheet window is both.
template <typename Window>
SheetWindowPeers SheetWindowPeersOf(std::unique_ptr<Window> window) {
    SheetPeer* sheet = window.get();
    return {std::move(window), sheet};
}

// The toolkit set up for the application `name`; `argv[0]` names the program.
std::unique_ptr<Application::Peer> StartApplication(char** argv, const std::string& name,
                                                    const std::string& version);
// A timer on the window thread, stopped.
std::unique_ptr<Timer::Peer> CreateTimer();
// The wait cursor, shown until the peer goes.
std::unique_ptr<WaitCursor::Peer> ShowWaitCursor();

// Shows a modal box; the answer (kAnswerYes, kAnswerNo, kAnswerAlternative).
int ShowMessageBox(const MessageBoxCall& call);
// The chosen path, or empty.
std::string ShowFileDialog(CWnd* owner, const FileDialogCall& call);

// Runs `task` on the window thread, after what it is doing now. Safe from any thread.
void PostToWindowThread(std::function<void()> task);

// Joins the threads of RunOffWindowThread that are still there; the application's end calls it.
void JoinBackgroundWork();

}  // namespace backend
}  // namespace linkmate::fw
