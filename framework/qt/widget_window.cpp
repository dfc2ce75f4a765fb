#include <QCoreApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QShortcutEvent>

#include "framework/backend.h"
#include "framework/dialog.h"
#include "framework/placement.h"
#include "framework/qt/control_peer.h"
#include "framework/qt/dialog_window.h"

namespace linkmate::fw::qt {
namespace {

// A window's mnemonic handler, kept as a child of its widget so that the widgets in the window
// find it.
class MnemonicHandler : public QObject {
public:
    explicit MnemonicHandler(QObject* parent) : QObject(parent) {}
    std::function<void(char)> press;
};

// The classes here carry no meta-object of their own, so they are told apart by their C++ type.
MnemonicHandler* HandlerOf(QObject* window) {
    for (QObject* child : window->children()) {
        if (auto* handler = dynamic_cast<MnemonicHandler*>(child)) return handler;
    }
    return nullptr;
}

class MnemonicForwarder : public QObject {
public:
    explicit MnemonicForwarder(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget != nullptr && ForwardMnemonic(widget, event);
    }
};

// Waits for its window's first paint, then posts its work behind the events already queued (the
// rest of that paint's among them); the work runs only if the window is still shown by then.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget* window, std::function<void()> work)
        : QObject(window), m_window(window), m_work(std::move(work)) {
        window->installEventFilter(this);
    }
    void Post() {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_window->isVisible()) m_work();
                deleteLater();
            },
            Qt::QueuedConnection);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Paint) {
            m_window->removeEventFilter(this);
            Post();
        }
        return false;
    }

private:
    QWidget* m_window;
    std::function<void()> m_work;
};

}  // namespace

bool ForwardMnemonic(QWidget* widget, QEvent* event) {
    if (event->type() != QEvent::Shortcut) return false;
    const MnemonicHandler* handler = HandlerOf(widget->window());
    if (handler == nullptr || !handler->press) return false;
    const QKeySequence keys = static_cast<QShortcutEvent*>(event)->key();
    if (keys.isEmpty()) return false;
    const int key = keys[0].key();
    // Letters and digits: their key codes are their upper-case characters.
    if ((key < Qt::Key_A || key > Qt::Key_Z) && (key < Qt::Key_0 || key > Qt::Key_9)) return false;
    // Qt delivers an ambiguous mnemonic to one of its owners only; the handler decides which
    // control it reaches.
    handler->press(static_cast<char>(key));
    return true;
}

void ForwardMnemonics(QWidget* button) {
    button->installEventFilter(new MnemonicForwarder(button));
}

void PlaceOnOwner(QWidget* window) {
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QScreen* screen = owner ? owner->screen() : window->screen();
    if (screen == nullptr) return;
    if (!window->testAttribute(Qt::WA_Resized)) window->adjustSize();
    const QRect work = screen->availableGeometry();
    const QRect around = owner && owner->isVisible() ? owner->frameGeometry() : QRect();
    // Not shown yet: the frame the window manager adds is not known, its client area stands in.
    const QSize size = window->frameGeometry().size();
    const Rect placed =
        CentredOn({around.x(), around.y(), around.width(), around.height()},
                  {size.width(), size.height()}, {work.x(), work.y(), work.width(), work.height()});
    window->move(placed.x, placed.y);
}

WidgetWindow::WidgetWindow(QDialog* widget) : m_widget(widget) {}

WidgetWindow::~WidgetWindow() { delete m_widget.data(); }

bool WidgetWindow::IsEnabled() const {
    return m_widget && m_widget->isEnabledTo(m_widget->parentWidget());
}
void WidgetWindow::Enable(bool enable) {
    if (m_widget) m_widget->setEnabled(enable);
}
bool WidgetWindow::IsVisible() const { return m_widget && m_widget->isVisible(); }
void WidgetWindow::Show(bool show) {
    if (m_widget) m_widget->setVisible(show);
}

Rect WidgetWindow::Bounds() const {
    if (!m_widget) return {};
    const QRect r =
        m_widget->isWindow() ? QRect(QPoint(0, 0), m_widget->size()) : m_widget->geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

void WidgetWindow::Move(const Rect& rect) {
    if (!m_widget) return;
    if (m_widget->isWindow()) {
        m_widget->resize(rect.width, rect.height);
    } else {
        m_widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
    }
}

Rect WidgetWindow::Frame() const {
    if (!m_widget) return {};
    const QRect frame = m_widget->frameGeometry();
    const QPoint origin = m_widget->isWindow()
                              ? frame.topLeft()
                              : m_widget->parentWidget()->mapToGlobal(frame.topLeft());
    return {origin.x(), origin.y(), frame.width(), frame.height()};
}

void WidgetWindow::SetFixedSize(Size size) {
    if (m_widget) m_widget->setFixedSize(size.width, size.height);
}
std::string WidgetWindow::Title() const {
    return m_widget ? m_widget->windowTitle().toStdString() : std::string();
}
void WidgetWindow::SetTitle(const std::string& title) {
    if (m_widget) m_widget->setWindowTitle(QString::fromStdString(title));
}

void WidgetWindow::SetIcon(int resource) {
    if (m_widget) m_widget->setWindowIcon(QIcon(QString(":/linkmate/icon/%1.svg").arg(resource)));
}

void WidgetWindow::AddMinimizeBox() {
    if (m_widget) m_widget->setWindowFlags(m_widget->windowFlags() | Qt::WindowMinimizeButtonHint);
}

void WidgetWindow::AddShortcut(const std::string& keys, std::function<void()> run) {
    if (!m_widget) return;
    auto* shortcut = new QShortcut(QKeySequence(QString::fromStdString(keys)), m_widget);
    QObject::connect(shortcut, &QShortcut::activated, m_widget, [run = std::move(run)] { run(); });
}

void WidgetWindow::SetContextMenu(std::vector<MenuItem> items) { m_menu = std::move(items); }

void WidgetWindow::ShowContextMenu(const QPoint& globalPos) {
    if (m_menu.empty() || !m_widget) return;
    QMenu menu(m_widget);
    menu.setFont(m_widget->font());
    std::vector<std::pair<QAction*, std::function<void()>>> actions;
    for (const MenuItem& item : m_menu) {
        if (item.text.empty()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdString(item.text));
        if (!item.shortcut.empty())
            action->setShortcut(QKeySequence(QString::fromStdString(item.shortcut)));
        actions.emplace_back(action, item.run);
    }
    const QAction* chosen = menu.exec(globalPos);
    for (const auto& [action, run] : actions) {
        if (action == chosen && run) run();
    }
}

void WidgetWindow::SetTabOrder(const std::vector<ControlPeer*>& controls) {
    QWidget* previous = nullptr;
    for (ControlPeer* control : controls) {
        auto* peer = dynamic_cast<QtControl*>(control);
        QWidget* widget = peer ? peer->widget() : nullptr;
        if (widget == nullptr) continue;
        if (widget->focusProxy() != nullptr) widget = widget->focusProxy();
        if (previous != nullptr) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void WidgetWindow::SetMnemonicHandler(std::function<void(char)> press) {
    if (!m_widget) return;
    MnemonicHandler* handler = HandlerOf(m_widget);
    if (handler == nullptr) handler = new MnemonicHandler(m_widget);
    handler->press = std::move(press);
}

int WidgetWindow::RunModal() {
    if (!m_widget) return -1;
    PlaceOnOwner(m_widget);
    return m_widget->exec();
}

void WidgetWindow::End(int result) {
    if (m_widget) m_widget->done(result);
}

void WidgetWindow::AfterFirstPaint(std::function<void()> work) {
    if (!m_widget) return;
    auto* watch = new FirstPaintWatch(m_widget, std::move(work));
    // Shown already: its first paint may have passed.
    if (m_widget->isVisible()) watch->Post();
}

}  // namespace linkmate::fw::qt

namespace linkmate::fw::backend {

std::unique_ptr<WindowPeer> CreateDialogWindow(CDialog& dialog, WindowPeer* parent,
                                               Placement placement) {
    QWidget* parentWidget = ParentWindow<QWidget*>(parent, placement);
    return std::make_unique<qt::DialogWindow>(dialog, parentWidget, placement == Placement::kPopup);
}

Size TemplateSize(const DialogTemplate& tmpl) {
    const qt::DialogUnits units(qt::TemplateFont(tmpl));
    return {units.ToPixelsX(tmpl.cx), units.ToPixelsY(tmpl.cy)};
}

}  // namespace linkmate::fw::backend
