// One control of a window as USER32 and COMCTL32 keep it, reached by the framework through the
// neutral control interface.
#pragma once

#include <string>
#include <vector>

#include "framework/control.h"
#include "framework/win32/win32_api.h"

namespace linkmate::fw::win32 {

class Win32Control : public ControlPeer {
public:
    Win32Control(HWND window, ControlKind kind, int id);
    HWND hwnd() const { return m_hwnd; }
    // The up-down control that steps this edit, enabled and disabled with it.
    void SetUpDown(HWND upDown) { m_upDown = upDown; }
    // The label beside it, for a screen reader's name, and that label's mnemonic.
    void SetAccessibleName(const std::string& name);
    void SetLabelMnemonic(char letter) { m_labelMnemonic = letter; }
    // Its window was enabled or disabled: a control of a disabled window is drawn greyed, as
    // the operator cannot use it, and keeps its own state for when the window is enabled again.
    void SetWindowEnabled(bool enabled);
    // The list's selection changed: it shows the chosen entry's tip until it has one of its own.
    void OnSelectionChanged();
    // A drop-down list draws its entries itself: in the opened list each with its detail beside
    // it and, while the entry is highlighted, its tip beside the list.
    void DrawItem(const DRAWITEMSTRUCT& item);
    // The opened list closed: its entry's tip goes with it.
    void OnListClosed();
    // A drop-down list made wide enough to show each of its entries whole when closed, up to
    // `room` pixels.
    void FitEntries(int room);

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
    std::string AccessibleName() const override { return m_name; }
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
    bool IsList() const;
    void ApplyEnabled();
    void ShowTip(const std::string& tip);
    void ShowEntryTip(int index, const RECT& entry);

    struct Detail {
        std::string text;
        bool dimmed = false;
    };

    HWND m_hwnd;
    ControlKind m_kind;
    bool m_highlighted = false;
    int m_id;
    bool m_ownEnabled;
    bool m_windowEnabled = true;
    HWND m_upDown = nullptr;
    HWND m_tipWindow = nullptr;
    std::string m_name;
    char m_labelMnemonic = 0;
    std::string m_tip;       // what the tip window shows
    bool m_ownTip = false;   // set by the program, not taken from an entry
    std::wstring m_tipText;  // kept alive for the tip window
    std::vector<std::string> m_itemTips;
    std::vector<Detail> m_itemDetails;
    HWND m_entryTipWindow = nullptr;  // the highlighted entry's tip in the opened list
    int m_entryTipIndex = -1;
    std::wstring m_entryTipText;  // kept alive for that tip window
};

// The filter and the typing limit's companions of an edit: the filter sees every WM_CHAR.
void InstallCharacterFilter(HWND edit, CharacterFilter accepts);

}  // namespace linkmate::fw::win32
