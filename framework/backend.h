// What a toolkit backend provides to the framework. The neutral classes call these; exactly one
// backend folder (framework/qt/ today) defines them, chosen by the build.
#pragma once

#include <functional>
#include <memory>
#include <string>

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

// The window of `dialog` with its controls from its template.
std::unique_ptr<WindowPeer> CreateDialogWindow(CDialog& dialog, WindowPeer* parent, Placement placement);

// The pixel size of a template in its own font.
Size TemplateSize(const DialogTemplate& tmpl);

// What a property sheet needs of its window beyond a plain one: the tab control (12320) and the
// four standard buttons (1, 2, 12321, 9) as items, the tabs, the place of the pages.
class SheetPeer : public WindowPeer {
public:
    // Lays out a tab control for pages of `pageSize` with a tab per title, and the buttons.
    virtual void Build(const std::vector<std::string>& titles, Size pageSize) = 0;
    virtual void SelectTab(int index) = 0;
    virtual int CurrentTab() const = 0;
    virtual int TabCount() const = 0;
    virtual std::string TabText(int index) const = 0;
    // Where a page stands, in the coordinates of the window the pages are placed in.
    virtual Rect PageArea() const = 0;
    // A control of the sheet's own beside the standard ones (a push button sends its command
    // like them); nullptr for a kind a sheet does not carry.
    virtual ControlPeer* AddControl(int id, ControlKind kind, const std::string& text) = 0;
    // What a screen reader says about the window beyond its title.
    virtual void SetAccessibleDescription(const std::string& text) = 0;
};
std::unique_ptr<SheetPeer> CreateSheetWindow(CPropertySheet& sheet, const std::string& caption);

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
