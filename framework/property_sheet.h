// A property sheet: a tab control whose pages are created on their first activation, and the four
// standard buttons known by their identifiers. Leaving a page saves it (a failed save keeps it
// current); entering it again loads it.
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <string>
#include <vector>

#include "framework/dialog.h"

class QTabBar;
class QPushButton;

namespace linkmate::fw {

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDHELP = 9;
inline constexpr int ID_APPLY_NOW = 12321;
inline constexpr int AFX_IDC_TAB_CONTROL = 12320;

// The tab control: the tab row and the pane the pages sit in.
class TabControl : public QWidget {
public:
    explicit TabControl(QWidget* parent);
    QTabBar* tabBar() const { return m_tabs; }
    QRect PageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QTabBar* m_tabs;
};

class CPropertySheet : public QDialog {
public:
    CPropertySheet(const std::string& caption, QWidget* parent, int startPage);

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const { return m_pages.at(static_cast<size_t>(index)); }
    int GetActiveIndex() const { return m_active; }
    // Selects a page, creating its window the first time; false when the current page refused
    // to be left.
    bool SetActivePage(int index);

    // The tab control (12320) and the buttons IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP.
    QWidget* GetDlgItem(int id) const;

    // Creates the window and runs it until it is closed.
    int DoModal();

protected:
    // Lays out the tab control and the buttons and creates the start page.
    virtual bool OnInitDialog();
    // A button's command; true when handled. The base closes the sheet for OK and Cancel.
    virtual bool OnCommand(int id);
    // The window is going away; runs once.
    virtual void OnDestroy();

    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

    QPushButton* Button(int id) const;

private:
    void OnTabChanged(int index);

    std::vector<CPropertyPage*> m_pages;
    TabControl* m_tabControl = nullptr;
    std::array<QPushButton*, 4> m_buttons{};
    int m_startPage;
    int m_active = -1;
    bool m_destroyed = false;
    DialogUnits m_units;
};

}  // namespace linkmate::fw
