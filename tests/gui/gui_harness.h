// What the window tests share: a main window set up as the modal run would, without the modal
// loop; a recorder that answers every message box; the operator's ways of choosing and typing.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "app/linkmate_sheet.h"
#include "framework/message_box.h"
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
};

// Records every message box instead of showing it; `whenShown` runs while the box would be up.
class MessageLog {
public:
    MessageLog();
    ~MessageLog();
    std::vector<std::string> texts() const;
    std::vector<fw::MessageBoxCall> calls;
    std::function<void(const fw::MessageBoxCall&)> whenShown;
    bool answerYes = true;  // the answer to every question
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

// The operator picks entry `index` of a list.
void Choose(QComboBox* list, int index);
// The operator replaces the text of an edit by typing.
void Retype(QLineEdit* edit, const QString& text);
// Connects through the panel's button; true when the window is connected afterwards.
bool ClickConnect(TestSheet& sheet);
void ClickButton(TestSheet& sheet, int id);
// Points COM<number> at a device that is not there and tries to connect to it; false when the
// window stayed disconnected.
bool ConnectToUnpluggedPort(TestSheet& sheet, int number);

template <typename T>
T* Control(fw::CDialog& dialog, int id) {
    return dialog.Item<T>(id);
}

}  // namespace linkmate::guitest
