// One control of a window as Qt keeps it: the widget created from its template entry, reached by
// the framework through the neutral control interface.
#pragma once

#include <QPointer>
#include <QWidget>

#include "framework/control.h"

namespace linkmate::fw::qt {

// Set on a drop-down list once the program gives it a tip of its own; until then it shows the
// chosen entry's tip.
inline constexpr const char* kOwnTipProperty = "linkmateOwnTip";
// Set on an input control to the mnemonic letter of the label that names it.
inline constexpr const char* kMnemonicProperty = "linkmateMnemonic";

class QtControl : public ControlPeer {
public:
    QtControl(QWidget* widget, ControlKind kind, int id)
        : m_widget(widget), m_kind(kind), m_id(id) {}
    QWidget* widget() const { return m_widget; }

    ControlKind Kind() const override { return m_kind; }
    int Id() const override { return m_id; }
    std::string Text() const override;
    void SetText(const std::string& text) override;
    bool IsEnabled() const override;
    void Enable(bool enable) override;
    bool IsVisible() const override;
    void Show(bool show) override;
    void SetFocus() override;
    bool HasFocus() const override;
    std::string ToolTip() const override;
    void SetToolTip(const std::string& tip) override;
    std::string AccessibleName() const override;
    Rect Bounds() const override;
    void Move(const Rect& rect) override;
    void Click() override;
    char Mnemonic() const override;
    bool CanTakeFocus() const override;
    Size TextExtent(const std::string& text) const override;
    void SetHighlighted(bool on) override;
    bool IsHighlighted() const override { return m_highlighted; }
    void SelectAll() override;
    void ReplaceSelection(const std::string& text) override;
    void SetLimitText(int limit) override;
    void SetFilter(CharacterFilter accepts) override;
    void SetReadOnly(bool readOnly) override;
    bool IsReadOnly() const override;
    int Count() const override;
    int CurSel() const override;
    void SetCurSel(int index) override;
    void ResetContent() override;
    void AddItem(const std::vector<std::string>& cells) override;
    std::string ItemText(int index, int column) const override;
    std::string ItemToolTip(int index) const override;
    void SetItemToolTip(int index, const std::string& tip) override;
    void SetItemDetail(int index, const std::string& detail, bool dimmed) override;
    std::string ItemDetail(int index) const override;
    int CheckState() const override;
    void SetCheckState(int state) override;
    void SetRange(int lower, int upper) override;
    std::pair<int, int> Range() const override;

private:
    QPointer<QWidget> m_widget;
    ControlKind m_kind;
    bool m_highlighted = false;
    QPalette m_paletteBefore;  // what a highlight took off
    int m_id;
};

}  // namespace linkmate::fw::qt
