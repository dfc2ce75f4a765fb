// The property sheet's window: the tab control with its pane, and the four standard buttons in
// the standard layout.
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLabel>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <array>

#include "framework/property_sheet.h"
#include "framework/qt/dialog_window.h"

namespace linkmate::fw::qt {
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
        return QRect(kPaneBorder, top + kPaneBorder, width() - 2 * kPaneBorder, height() - top - 2 * kPaneBorder);
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
    void resizeEvent(QResizeEvent*) override { m_tabs->setGeometry(0, 0, width(), m_tabs->sizeHint().height()); }

private:
    QTabBar* m_tabs;
};

class SheetWindow;

class SheetWidget : public QDialog {
public:
    SheetWidget(CPropertySheet& owner, SheetWindow& window) : m_owner(owner), m_window(window) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
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
    SheetWindow& m_window;
};

class SheetWindow : public backend::SheetPeer, public WindowHost {
public:
    SheetWindow(CPropertySheet& owner, const std::string& caption)
        : m_owner(owner), m_window(new SheetWidget(owner, *this)) {
        m_window.widget()->setWindowTitle(QString::fromStdString(caption));
        m_window.widget()->setFont(SheetFont());
        // Every window of the program shows the dialog font (message boxes, menus and file
        // dialogs take their window's). Made the application's font too, it also serves what lays
        // out text before it has a parent's font: each line edit lays out its empty text when it
        // is made, which otherwise loads a second font family (and its fallbacks) just for that,
        // a tenth of the start-up's work. Tips keep the font they had.
        QApplication::setFont(QApplication::font("QTipLabel"), "QTipLabel");
        QApplication::setFont(SheetFont());
    }

    void Build(const std::vector<std::string>& titles, Size pageSize) override {
        QDialog* sheet = m_window.widget();
        const DialogUnits units(SheetFont());
        const int margin = units.ToPixelsX(kMargin);
        const int marginY = units.ToPixelsY(kMargin);
        m_tabs = new TabControl(sheet);
        for (const std::string& title : titles) m_tabs->tabBar()->addTab(QString::fromStdString(title));
        const int tabRow = m_tabs->tabBar()->sizeHint().height();
        m_tabs->setGeometry(margin, marginY, pageSize.width + 2 * kPaneBorder,
                            pageSize.height + tabRow + 2 * kPaneBorder);
        m_items.emplace(AFX_IDC_TAB_CONTROL, std::make_unique<QtControl>(m_tabs, ControlKind::kText, AFX_IDC_TAB_CONTROL));

        // Right-aligned under the tab control: OK, Cancel, Apply, Help.
        const int width = units.ToPixelsX(kButtonWidth);
        const int height = units.ToPixelsY(kButtonHeight);
        const int gap = units.ToPixelsX(kButtonGap);
        const int top = m_tabs->geometry().bottom() + 1 + marginY;
        int x = m_tabs->geometry().right() + 1 - 4 * width - 3 * gap;
        for (size_t i = 0; i < kButtonIds.size(); ++i) {
            auto* button = new QPushButton(QCoreApplication::translate("CPropertySheet", kButtonTexts[i]), sheet);
            button->setAutoDefault(false);
            ForwardMnemonics(button);
            button->setGeometry(x, top, width, height);
            const int id = kButtonIds[i];
            QObject::connect(button, &QPushButton::clicked, sheet, [this, id] { m_owner.HandleCommand(id); });
            m_items.emplace(id, std::make_unique<QtControl>(button, ControlKind::kPushButton, id));
            x += width + gap;
        }
        sheet->setFixedSize(m_tabs->geometry().right() + 1 + margin, top + height + marginY);
        QObject::connect(m_tabs->tabBar(), &QTabBar::currentChanged, sheet,
                         [this](int index) { m_owner.HandleTabSelected(index); });
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
        QDialog* sheet = m_window.widget();
        QWidget* widget = nullptr;
        if (kind == ControlKind::kText) {
            auto* label = new QLabel(QString::fromStdString(text), sheet);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = label;
        } else if (kind == ControlKind::kPushButton) {
            auto* button = new QPushButton(QString::fromStdString(text), sheet);
            button->setAutoDefault(false);
            ForwardMnemonics(button);
            QObject::connect(button, &QPushButton::clicked, sheet, [this, id] { m_owner.HandleCommand(id); });
            widget = button;
        } else {
            return nullptr;
        }
        widget->show();
        std::unique_ptr<QtControl>& slot = m_items[id];
        slot = std::make_unique<QtControl>(widget, kind, id);
        return slot.get();
    }
    void SetAccessibleDescription(const std::string& text) override {
        m_window.widget()->setAccessibleDescription(QString::fromStdString(text));
    }
    QWidget* TopWidget() const override { return m_window.widget(); }
    QWidget* PageHost() const override { return m_tabs; }
    WidgetWindow& window() { return m_window; }

    ControlPeer* Item(int id) override {
        const auto it = m_items.find(id);
        return it == m_items.end() ? nullptr : it->second.get();
    }
    bool IsEnabled() const override { return m_window.IsEnabled(); }
    void Enable(bool enable) override { m_window.Enable(enable); }
    bool IsVisible() const override { return m_window.IsVisible(); }
    void Show(bool show) override { m_window.Show(show); }
    Rect Bounds() const override { return m_window.Bounds(); }
    void Move(const Rect& rect) override { m_window.Move(rect); }
    Rect Frame() const override { return m_window.Frame(); }
    void SetFixedSize(Size size) override { m_window.SetFixedSize(size); }
    std::string Title() const override { return m_window.Title(); }
    void SetTitle(const std::string& title) override { m_window.SetTitle(title); }
    void SetIcon(int resource) override { m_window.SetIcon(resource); }
    void AddMinimizeBox() override { m_window.AddMinimizeBox(); }
    void AddShortcut(const std::string& keys, std::function<void()> run) override {
        m_window.AddShortcut(keys, std::move(run));
    }
    void SetContextMenu(std::vector<MenuItem> items) override { m_window.SetContextMenu(std::move(items)); }
    void SetTabOrder(const std::vector<ControlPeer*>& controls) override { m_window.SetTabOrder(controls); }
    void SetMnemonicHandler(std::function<void(char)> press) override {
        m_window.SetMnemonicHandler(std::move(press));
    }
    int RunModal() override { return m_window.RunModal(); }
    void End(int result) override { m_window.End(result); }

private:
    CPropertySheet& m_owner;
    WidgetWindow m_window;
    TabControl* m_tabs = nullptr;
    std::map<int, std::unique_ptr<QtControl>> m_items;
};

void SheetWidget::contextMenuEvent(QContextMenuEvent* event) {
    m_window.window().ShowContextMenu(event->globalPos());
}

}  // namespace
}  // namespace linkmate::fw::qt

namespace linkmate::fw::backend {

std::unique_ptr<SheetPeer> CreateSheetWindow(CPropertySheet& sheet, const std::string& caption) {
    return std::make_unique<qt::SheetWindow>(sheet, caption);
}

}  // namespace linkmate::fw::backend
