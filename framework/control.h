// Controls reached by identifier: a handle per kind (edit, drop-down list, button, check box,
// up-down control, list box, report list) over what the backend created from the template. A
// handle without a control (an identifier the window lacks, or one of another kind) does nothing
// and reads as empty.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/dialog_template.h"

namespace linkmate::fw {

// What a control tells its window; the window's handlers are wired in one place.
enum class Notify {
    kClicked,    // a button or check box was clicked
    kSelChange,  // the operator chose another entry or row (not sent when the program selects)
    kChange,     // an edit's text changed, by the operator or the program
    kDblClk,     // a row of a list was double-clicked
    kSetFocus,   // the operator turns to the control: it takes the focus, is pressed or pointed at
};

// Pixels, in the coordinates of the control's window.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool operator==(const Rect&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
};

// The background of a highlighted edit (0xRRGGBB): a pale yellow that dark text stays readable on.
constexpr uint32_t kHighlightRgb = 0xFFF2A8;

// Which characters typing may enter into an edit. It sees control characters too (backspace 0x08,
// Ctrl+C 0x03, ...), since those are editing commands that a filter may refuse.
using CharacterFilter = bool (*)(int character);

// One control as the backend keeps it. Operations that do not apply to the control's kind do
// nothing.
class ControlPeer {
public:
    virtual ~ControlPeer() = default;
    virtual ControlKind Kind() const = 0;
    virtual int Id() const = 0;

    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    // The control's own state, whatever its window's.
    virtual bool IsEnabled() const = 0;
    virtual void Enable(bool enable) = 0;
    virtual bool IsVisible() const = 0;
    virtual void Show(bool show) = 0;
    virtual void SetFocus() = 0;
    virtual bool HasFocus() const = 0;
    virtual std::string ToolTip() const = 0;
    virtual void SetToolTip(const std::string& tip) = 0;
    // The name a screen reader gives it: the label beside it, without the mnemonic.
    virtual std::string AccessibleName() const = 0;
    virtual Rect Bounds() const = 0;
    virtual void Move(const Rect& rect) = 0;
    // As the operator's click: a button runs its command, a check box toggles.
    virtual void Click() = 0;
    // The mnemonic letter that reaches the control, upper case: a button's own, or that of the
    // label naming it; 0 for none.
    virtual char Mnemonic() const = 0;
    // Shown and enabled, its window too, and a control the Tab key visits.
    virtual bool CanTakeFocus() const = 0;
    // The pixels one line of `text` takes in the control's font (no mnemonic, no tabs); {0, 0}
    // where the backend cannot tell.
    virtual Size TextExtent(const std::string& /*text*/) const { return {}; }
    // An edit drawn on a highlight colour, to draw the eye to a value the program replaced; the
    // caller takes it off again.
    virtual void SetHighlighted(bool /*on*/) {}
    virtual bool IsHighlighted() const { return false; }

    // Edits. The typing limit and the character filter bind every way the operator enters text
    // (typing, pasting, an input method), never text set by the program.
    virtual void SelectAll() = 0;
    // Puts `text` in place of the selection (at the caret when nothing is selected), as typing
    // does.
    virtual void ReplaceSelection(const std::string& text) = 0;
    virtual void SetLimitText(int limit) = 0;
    virtual void SetFilter(CharacterFilter accepts) = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
    virtual bool IsReadOnly() const = 0;

    // Drop-down lists, list boxes and report lists: entries (rows) and the one selected.
    virtual int Count() const = 0;
    virtual int CurSel() const = 0;
    virtual void SetCurSel(int index) = 0;
    virtual void ResetContent() = 0;
    virtual void AddItem(const std::vector<std::string>& cells) = 0;
    virtual std::string ItemText(int index, int column) const = 0;
    virtual std::string ItemToolTip(int index) const = 0;
    virtual void SetItemToolTip(int index, const std::string& tip) = 0;
    // A drop-down list's entry: a second text drawn beside it in the opened list only (the
    // closed list keeps showing the entry's own text), and whether the entry is drawn greyed.
    // A backend without it leaves the entries as they are; their tips still tell.
    virtual void SetItemDetail(int /*index*/, const std::string& /*detail*/, bool /*dimmed*/) {}
    virtual std::string ItemDetail(int /*index*/) const { return {}; }

    // Check boxes: 0 unchecked, 1 checked, 2 indeterminate.
    virtual int CheckState() const = 0;
    virtual void SetCheckState(int state) = 0;

    // Up-down controls: the range its arrows step its buddy's value in.
    virtual void SetRange(int lower, int upper) = 0;
    virtual std::pair<int, int> Range() const = 0;
};

class Control {
public:
    static constexpr std::array<ControlKind, 0> kKinds{};

    Control() = default;
    explicit Control(ControlPeer* peer) : m_peer(peer) {}
    explicit operator bool() const { return m_peer != nullptr; }
    bool operator==(const Control& other) const { return m_peer == other.m_peer; }
    ControlPeer* peer() const { return m_peer; }

    int GetDlgCtrlID() const { return m_peer ? m_peer->Id() : 0; }
    std::string GetWindowText() const { return m_peer ? m_peer->Text() : std::string(); }
    void SetWindowText(const std::string& text) {
        if (m_peer) m_peer->SetText(text);
    }
    bool IsWindowEnabled() const { return m_peer && m_peer->IsEnabled(); }
    void EnableWindow(bool enable) {
        if (m_peer) m_peer->Enable(enable);
    }
    bool IsWindowVisible() const { return m_peer && m_peer->IsVisible(); }
    void ShowWindow(bool show) {
        if (m_peer) m_peer->Show(show);
    }
    void SetFocus() {
        if (m_peer) m_peer->SetFocus();
    }
    bool HasFocus() const { return m_peer && m_peer->HasFocus(); }
    std::string GetToolTip() const { return m_peer ? m_peer->ToolTip() : std::string(); }
    void SetToolTip(const std::string& tip) {
        if (m_peer) m_peer->SetToolTip(tip);
    }
    std::string GetAccessibleName() const {
        return m_peer ? m_peer->AccessibleName() : std::string();
    }
    Rect GetWindowRect() const { return m_peer ? m_peer->Bounds() : Rect{}; }
    void MoveWindow(const Rect& rect) {
        if (m_peer) m_peer->Move(rect);
    }
    void Click() {
        if (m_peer) m_peer->Click();
    }
    char GetMnemonic() const { return m_peer ? m_peer->Mnemonic() : 0; }
    void SetHighlight(bool on) {
        if (m_peer) m_peer->SetHighlighted(on);
    }
    bool IsHighlighted() const { return m_peer && m_peer->IsHighlighted(); }
    bool CanTakeFocus() const { return m_peer && m_peer->CanTakeFocus(); }

protected:
    ControlPeer* m_peer = nullptr;
};

class Button : public Control {
public:
    static constexpr std::array kKinds{ControlKind::kPushButton, ControlKind::kDefPushButton};
    using Control::Control;
};

class CheckBox : public Control {
public:
    static constexpr std::array kKinds{ControlKind::kAutoCheckBox};
    using Control::Control;
    int GetCheck() const { return m_peer ? m_peer->CheckState() : 0; }
    void SetCheck(int state) {
        if (m_peer) m_peer->SetCheckState(state);
    }
};

class Edit : public Control {
public:
    static constexpr std::array kKinds{ControlKind::kEdit};
    using Control::Control;
    void SetSel() {
        if (m_peer) m_peer->SelectAll();
    }
    void ReplaceSel(const std::string& text) {
        if (m_peer) m_peer->ReplaceSelection(text);
    }
    void SetLimitText(int limit) {
        if (m_peer) m_peer->SetLimitText(limit);
    }
    void SetFilter(CharacterFilter accepts) {
        if (m_peer) m_peer->SetFilter(accepts);
    }
    void SetReadOnly(bool readOnly) {
        if (m_peer) m_peer->SetReadOnly(readOnly);
    }
    bool IsReadOnly() const { return m_peer && m_peer->IsReadOnly(); }
};

// What the three list kinds share: entries by index and one selection (-1: none).
class ListControl : public Control {
public:
    using Control::Control;
    int GetCount() const { return m_peer ? m_peer->Count() : 0; }
    int GetCurSel() const { return m_peer ? m_peer->CurSel() : -1; }
    // An index the list lacks clears the selection.
    void SetCurSel(int index) {
        if (m_peer) m_peer->SetCurSel(index);
    }
    void ResetContent() {
        if (m_peer) m_peer->ResetContent();
    }
    std::string GetText(int index, int column = 0) const {
        return m_peer ? m_peer->ItemText(index, column) : std::string();
    }
};

class ComboBox : public ListControl {
public:
    static constexpr std::array kKinds{ControlKind::kDropDownList};
    using ListControl::ListControl;
    void AddString(const std::string& text) {
        if (m_peer) m_peer->AddItem({text});
    }
    std::string GetItemToolTip(int index) const {
        return m_peer ? m_peer->ItemToolTip(index) : std::string();
    }
    void SetItemToolTip(int index, const std::string& tip) {
        if (m_peer) m_peer->SetItemToolTip(index, tip);
    }
    void SetItemDetail(int index, const std::string& detail, bool dimmed) {
        if (m_peer) m_peer->SetItemDetail(index, detail, dimmed);
    }
    std::string GetItemDetail(int index) const {
        return m_peer ? m_peer->ItemDetail(index) : std::string();
    }
};

class ListBox : public ListControl {
public:
    static constexpr std::array kKinds{ControlKind::kListBox};
    using ListControl::ListControl;
    void AddString(const std::string& text) {
        if (m_peer) m_peer->AddItem({text});
    }
};

class ListView : public ListControl {
public:
    static constexpr std::array kKinds{ControlKind::kListView};
    using ListControl::ListControl;
    void AddRow(const std::vector<std::string>& cells) {
        if (m_peer) m_peer->AddItem(cells);
    }
};

class SpinButton : public Control {
public:
    static constexpr std::array kKinds{ControlKind::kUpDown};
    using Control::Control;
    void SetRange32(int lower, int upper) {
        if (m_peer) m_peer->SetRange(lower, upper);
    }
    std::pair<int, int> GetRange32() const {
        return m_peer ? m_peer->Range() : std::pair<int, int>{0, 0};
    }
};

// The handle of kind `T` for `peer`, empty when the control is of another kind. The plain
// `Control` takes every kind.
template <typename T>
T HandleOf(ControlPeer* peer) {
    if (peer == nullptr) return T();
    if constexpr (T::kKinds.empty()) {
        return T(peer);
    } else {
        for (ControlKind kind : T::kKinds) {
            if (peer->Kind() == kind) return T(peer);
        }
        return T();
    }
}

}  // namespace linkmate::fw
