#include "framework/property_sheet.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace linkmate::fw {
namespace {

// The standard sheet layout, in dialog units of the sheet's font.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kPaneBorder = 2;  // pixels between the pane's frame and the page

constexpr std::array<int, 4> kButtonIds = {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP};
constexpr std::array<const char*, 4> kButtonTexts = {
    QT_TRANSLATE_NOOP("CPropertySheet", "OK"), QT_TRANSLATE_NOOP("CPropertySheet", "Cancel"),
    QT_TRANSLATE_NOOP("CPropertySheet", "&Apply"), QT_TRANSLATE_NOOP("CPropertySheet", "Help")};

}  // namespace

TabControl::TabControl(QWidget* parent) : QWidget(parent), m_tabs(new QTabBar(this)) {
    m_tabs->setDrawBase(false);
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(false);
}

QRect TabControl::PageRect() const {
    const int top = m_tabs->sizeHint().height();
    return QRect(kPaneBorder, top + kPaneBorder, width() - 2 * kPaneBorder,
                 height() - top - 2 * kPaneBorder);
}

void TabControl::resizeEvent(QResizeEvent*) {
    m_tabs->setGeometry(0, 0, width(), m_tabs->sizeHint().height());
}

void TabControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, m_tabs->height() - 1, width(), height() - m_tabs->height() + 1);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = m_tabs->sizeHint();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

CPropertySheet::CPropertySheet(const std::string& caption, QWidget* parent, int startPage)
    : QDialog(parent),
      m_startPage(startPage),
      m_units(DialogFont("MS Shell Dlg", 8)) {
    setWindowTitle(QString::fromStdString(caption));
    setFont(DialogFont("MS Shell Dlg", 8));
}

void CPropertySheet::AddPage(CPropertyPage* page) { m_pages.push_back(page); }

QPushButton* CPropertySheet::Button(int id) const {
    for (size_t i = 0; i < kButtonIds.size(); ++i) {
        if (kButtonIds[i] == id) return m_buttons[i];
    }
    return nullptr;
}

QWidget* CPropertySheet::GetDlgItem(int id) const {
    if (id == AFX_IDC_TAB_CONTROL) return m_tabControl;
    return Button(id);
}

int CPropertySheet::DoModal() {
    if (!OnInitDialog()) return -1;
    return exec();
}

bool CPropertySheet::OnInitDialog() {
    QSize page(0, 0);
    for (CPropertyPage* p : m_pages) page = page.expandedTo(p->TemplateSizePixels());

    const int margin = m_units.ToPixelsX(kMargin);
    const int marginY = m_units.ToPixelsY(kMargin);
    m_tabControl = new TabControl(this);
    for (CPropertyPage* p : m_pages) m_tabControl->tabBar()->addTab(p->title());
    const int tabRow = m_tabControl->tabBar()->sizeHint().height();
    m_tabControl->setGeometry(margin, marginY, page.width() + 2 * kPaneBorder,
                              page.height() + tabRow + 2 * kPaneBorder);

    // Right-aligned under the tab control: OK, Cancel, Apply, Help.
    const int width = m_units.ToPixelsX(kButtonWidth);
    const int height = m_units.ToPixelsY(kButtonHeight);
    const int gap = m_units.ToPixelsX(kButtonGap);
    const int top = m_tabControl->geometry().bottom() + 1 + marginY;
    int x = m_tabControl->geometry().right() + 1 - 4 * width - 3 * gap;
    for (size_t i = 0; i < kButtonIds.size(); ++i) {
        auto* button = new QPushButton(QCoreApplication::translate("CPropertySheet", kButtonTexts[i]), this);
        button->setAutoDefault(false);
        button->setGeometry(x, top, width, height);
        const int id = kButtonIds[i];
        connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
        m_buttons[i] = button;
        x += width + gap;
    }
    setFixedSize(m_tabControl->geometry().right() + 1 + margin, top + height + marginY);

    connect(m_tabControl->tabBar(), &QTabBar::currentChanged, this, &CPropertySheet::OnTabChanged);
    if (!m_pages.empty()) SetActivePage(std::clamp(m_startPage, 0, GetPageCount() - 1));
    return true;
}

bool CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount()) return false;
    if (index == m_active) return true;
    if (m_active >= 0 && !m_pages[static_cast<size_t>(m_active)]->OnKillActive()) {
        const QSignalBlocker block(m_tabControl->tabBar());
        m_tabControl->tabBar()->setCurrentIndex(m_active);
        return false;
    }
    CPropertyPage* page = m_pages[static_cast<size_t>(index)];
    if (!page->IsCreated()) {
        page->Create(m_tabControl, false);
        page->setGeometry(QRect(m_tabControl->PageRect().topLeft(), page->TemplateSizePixels()));
    }
    if (m_active >= 0) m_pages[static_cast<size_t>(m_active)]->hide();
    m_active = index;
    page->show();
    {
        const QSignalBlocker block(m_tabControl->tabBar());
        m_tabControl->tabBar()->setCurrentIndex(index);
    }
    page->OnSetActive();
    return true;
}

void CPropertySheet::OnTabChanged(int index) { SetActivePage(index); }

bool CPropertySheet::OnCommand(int id) {
    if (id == IDOK) {
        accept();
        return true;
    }
    if (id == IDCANCEL) {
        reject();
        return true;
    }
    return false;
}

void CPropertySheet::OnDestroy() {}

void CPropertySheet::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc would otherwise end the sheet; it ends only through the window's Close.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void CPropertySheet::done(int result) {
    if (!m_destroyed) {
        m_destroyed = true;
        OnDestroy();
    }
    QDialog::done(result);
}

}  // namespace linkmate::fw
