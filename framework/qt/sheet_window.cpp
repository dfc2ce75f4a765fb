// The property sheet's window: the tab control with its pane, and the four standard buttons in
// the standard layout.
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLabel>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include "framework/property_sheet.h"
#include "framework/qt/dialog_window.h"

namespace linkmate::fw::qt {
namespace {

constexpr int kPaneBorder = 2;  // pixels between the pane's frame and the page

QFont SheetFont() { return DialogFont("MS Shell Dlg", 8); }

// The tab control: the tab row and the pane the pages sit in.
class TabControl : public QWidget {
public:
    explicit TabControl(QWidget* parent) : QWidget(parent), m_tabs(new QTabBar(this)) {
        // Tab reaches the tab control through its tab row.
        setFocusProxy(m_tabs);
        m_tabs->setDrawBase(false);
        m_tabs->setExpanding(false);
        m_tabs->setUsesScrollButtons(false);
    }
    QTabBar* tabBar() const { return m_tabs; }
    QRect PageRect() const {
        const int top = m_tabs->sizeHint().height();
        return QRect(kPaneBorder, top + kPaneBorder, width() - 2 * kPaneBorder,
                     height() - top - 2 * kPaneBorder);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        frame.rect = QRect(0, m_tabs->height() - 1, width(), height() - m_tabs->height() + 1);
        frame.shape = QTabBar::RoundedNorth;
        frame.tabBarSize = m_tabs->sizeHint();
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
    }
    void resizeEvent(QResizeEvent*) override {
        m_tabs->setGeometry(0, 0, width(), m_tabs->sizeHint().height());
    }

private:
    QTabBar* m_tabs;
};

class SheetWidget : public QDialog {
public:
    SheetWidget(CPropertySheet& owner, WidgetWindow& window) : m_owner(owner), m_window(window) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Enter and Esc would otherwise end the sheet; it ends only through the window's Close.
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape: event->accept(); return;
            default: QDialog::keyPressEvent(event);
        }
    }
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override {
        if (!m_owner.HandleCloseRequest()) {
            event->ignore();
            return;
        }
        QDialog::closeEvent(event);
    }
    void done(int result) override {
        m_owner.HandleDestroy();
        QDialog::done(result);
    }

private:
    CPropertySheet& m_owner;
    WidgetWindow& m_window;
};

// The sheet's window is a plain window with the tab control and the sheet's buttons as its items.
class SheetWindow : public WidgetWindow, public backend::SheetPeer {
public:
    SheetWindow(CPropertySheet& owner, const std::string& caption)
        : WidgetWindow(new SheetWidget(owner, *this)), m_owner(owner) {
        widget()->setWindowTitle(QString::fromStdString(caption));
        widget()->setFont(SheetFont());
        // Every window of the program shows the dialog font (message boxes, menus and file
        // dialogs take their window's). Made the application's font too, it also serves what lays
        // out text before it has a parent's font: each line edit lays out its empty text when it
        // is made, which otherwise loads a second font family (and its fallbacks) just for that,
        // a tenth of the start-up's work. Tips keep the font they had.
        QApplication::setFont(QApplication::font("QTipLabel"), "QTipLabel");
        QApplication::setFont(SheetFont());
    }

    Rect DialogUnitsToPixels(const Rect& units) const override {
        const DialogUnits convert(SheetFont());
        return {convert.ToPixelsX(units.x), convert.ToPixelsY(units.y),
                convert.ToPixelsX(units.width), convert.ToPixelsY(units.height)};
    }
    Rect AddTabControl(const std::vector<std::string>& titles, Size pageSize, int x,
                       int y) override {
        m_tabs = new TabControl(widget());
        for (const std::string& title : titles)
            m_tabs->tabBar()->addTab(QString::fromStdString(title));
        const int tabRow = m_tabs->tabBar()->sizeHint().height();
        m_tabs->setGeometry(x, y, pageSize.width + 2 * kPaneBorder,
                            pageSize.height + tabRow + 2 * kPaneBorder);
        m_items.emplace(AFX_IDC_TAB_CONTROL, std::make_unique<QtControl>(m_tabs, ControlKind::kText,
                                                                         AFX_IDC_TAB_CONTROL));
        QObject::connect(m_tabs->tabBar(), &QTabBar::currentChanged, widget(),
                         [this](int index) { m_owner.HandleTabSelected(index); });
        const QRect r = m_tabs->geometry();
        return {r.x(), r.y(), r.width(), r.height()};
    }

    void SelectTab(int index) override {
        const QSignalBlocker block(m_tabs->tabBar());
        m_tabs->tabBar()->setCurrentIndex(index);
    }
    int CurrentTab() const override { return m_tabs ? m_tabs->tabBar()->currentIndex() : -1; }
    int TabCount() const override { return m_tabs ? m_tabs->tabBar()->count() : 0; }
    std::string TabText(int index) const override {
        return m_tabs ? m_tabs->tabBar()->tabText(index).toStdString() : std::string();
    }
    Rect PageArea() const override {
        const QRect r = m_tabs->PageRect();
        return {r.x(), r.y(), r.width(), r.height()};
    }
    ControlPeer* AddControl(int id, ControlKind kind, const std::string& text) override {
        QDialog* sheet = widget();
        QWidget* control = nullptr;
        if (kind == ControlKind::kText) {
            auto* label = new QLabel(QString::fromStdString(text), sheet);
            label->setTextFormat(Qt::PlainText);
            // The framework lays out its lines (SetFittedText); the label draws them as given.
            label->setWordWrap(false);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            control = label;
        } else if (kind == ControlKind::kPushButton) {
            auto* button = new QPushButton(QString::fromStdString(text), sheet);
            button->setAutoDefault(false);
            ForwardMnemonics(button);
            QObject::connect(button, &QPushButton::clicked, sheet,
                             [this, id] { m_owner.HandleCommand(id); });
            control = button;
        } else {
            return nullptr;
        }
        control->show();
        std::unique_ptr<QtControl>& slot = m_items[id];
        slot = std::make_unique<QtControl>(control, kind, id);
        return slot.get();
    }
    void SetAccessibleDescription(const std::string& text) override {
        widget()->setAccessibleDescription(QString::fromStdString(text));
    }
    QWidget* PageHost() const override { return m_tabs; }

    ControlPeer* Item(int id) override {
        const auto it = m_items.find(id);
        return it == m_items.end() ? nullptr : it->second.get();
    }

private:
    CPropertySheet& m_owner;
    TabControl* m_tabs = nullptr;
    std::map<int, std::unique_ptr<QtControl>> m_items;
};

void SheetWidget::contextMenuEvent(QContextMenuEvent* event) {
    m_window.ShowContextMenu(event->globalPos());
}

}  // namespace
}  // namespace linkmate::fw::qt

namespace linkmate::fw::backend {

SheetWindowPeers CreateSheetWindow(CPropertySheet& sheet, const std::string& caption) {
    return SheetWindowPeersOf(std::make_unique<qt::SheetWindow>(sheet, caption));
}

}  // namespace linkmate::fw::backend
