// What the window tests share: a main window set up as the modal run would, without the modal
// loop; a recorder that answers every message box; the operator's ways of choosing and typing.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/linkmate_sheet.h"
#include "framework/message_box.h"
#include "framework/qt/qt_access.h"
#include "pty_harness.h"
#include "tools/sim/virtual_converter.h"

namespace linkmate::guitest {

class TestSheet : public CLINKMATESheet {
public:
    TestSheet();
    ~TestSheet() override;
    // The window initialisation, then shows the window.
    void Init();
    using CLINKMATESheet::OnInitDialog;
    // The sheet's Qt window, for what goes through Qt's own input.
    QWidget* widget() const { return fw::qt::WidgetOf(*this); }
};

// Records every message box instead of showing it; `whenShown` runs while the box would be up.
class MessageLog {
public:
    MessageLog();
    ~MessageLog();
    std::vector<std::string> texts() const;
    std::vector<fw::MessageBoxCall> calls;
    std::function<void(const fw::MessageBoxCall&)> whenShown;
    bool answerYes = true;      // the answer to every question
    std::optional<int> answer;  // a fw::Answer given instead, when set
};

// Once per test program: resources, style, names.
void InitGuiTests();

// A private configuration folder (profile, port map) and, when asked, a converter as COM1.
class GuiEnvironment {
public:
    explicit GuiEnvironment(bool withConverter = true, sim::Options options = {});
    ~GuiEnvironment();
    sim::VirtualConverter* converter() { return m_converter.get(); }
    const std::string& home() const { return m_home.path(); }

private:
    testing::TempConfigHome m_home;
    std::unique_ptr<sim::VirtualConverter> m_converter;
};

// The operator picks entry `index` of list `id`, as the list's selection notification tells it.
void Choose(fw::CDialog& dialog, int id, int index);
// The operator's text in edit `id`, as the edit's change notification tells it (the ways text is
// typed, pasted or composed are the Qt backend's tests).
void Enter(fw::CDialog& dialog, int id, const std::string& text);
// The operator picks entry `index` of a list.
void Choose(QComboBox* list, int index);
// The operator replaces the text of an edit by typing.
void Retype(QLineEdit* edit, const QString& text);
// Connects through the panel's button; true when the window is connected afterwards.
bool ClickConnect(TestSheet& sheet);
// Clicks a command button; a Read or Write it starts has ended on return.
void ClickButton(TestSheet& sheet, int id);
// Runs the window's events until the running exchange has ended; false after `timeoutMs`.
bool WaitForExchange(TestSheet& sheet, int timeoutMs = 10000);
// Points COM<number> at a device that is not there and tries to connect to it; false when the
// window stayed disconnected.
bool ConnectToUnpluggedPort(TestSheet& sheet, int number);

// The Qt widget behind control `id`, for the tests of Qt's own input paths.
template <typename T>
T* Control(const fw::CDialog& dialog, int id) {
    return fw::qt::WidgetOf<T>(dialog.GetDlgItem(id));
}
// Runs `inspect` on `dialog` as its modal run sets it up, then ends it instead of waiting.
void Inspect(fw::CDialog& dialog, fw::CWnd* owner,
             const std::function<void(fw::CDialog&)>& inspect);
// A window's Qt widget.
inline QWidget* Widget(const fw::CWnd& window) { return fw::qt::WidgetOf(window); }

}  // namespace linkmate::guitest
