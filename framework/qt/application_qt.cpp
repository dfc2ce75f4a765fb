// The application, the translations, the wait cursor, the timer, the message and file dialogs and
// the window thread's queue, on Qt.
#include <QApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTimer>
#include <QTranslator>
#include <memory>

#include "framework/application.h"
#include "framework/backend.h"
#include "framework/message_box.h"
#include "framework/file_dialog.h"
#include "framework/qt/dialog_window.h"
#include "framework/qt/qt_access.h"
#include "framework/translate.h"

namespace linkmate::fw {

namespace {

class QtApplication : public Application::Peer {
public:
    QtApplication(char** argv, const std::string& name, const std::string& version)
        : m_app(m_argc, argv) {
        // The classic look of the platform the tool was designed for.
        if (QStyle* classic = QStyleFactory::create("Windows")) QApplication::setStyle(classic);
        QCoreApplication::setApplicationName(QString::fromStdString(name));
        QCoreApplication::setApplicationVersion(QString::fromStdString(version));
    }

private:
    int m_argc = 1;  // Qt sees only the program's name: the options are the program's own
    QApplication m_app;
};

}  // namespace

std::unique_ptr<Application::Peer> backend::StartApplication(char** argv, const std::string& name,
                                                             const std::string& version) {
    return std::make_unique<QtApplication>(argv, name, version);
}

std::string ApplicationName() { return QCoreApplication::applicationName().toStdString(); }

namespace {

class QtTimer : public Timer::Peer {
public:
    void Start(std::chrono::milliseconds interval, bool repeat,
               std::function<void()> tick) override {
        QObject::disconnect(m_connection);
        m_timer.setSingleShot(!repeat);
        m_connection =
            QObject::connect(&m_timer, &QTimer::timeout, [tick = std::move(tick)] { tick(); });
        m_timer.start(interval);
    }
    void Stop() override { m_timer.stop(); }
    bool IsActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    QMetaObject::Connection m_connection;
};

class QtWaitCursor : public WaitCursor::Peer {
public:
    QtWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~QtWaitCursor() override { QGuiApplication::restoreOverrideCursor(); }
};

std::unique_ptr<QTranslator>& OwnTexts() {
    static std::unique_ptr<QTranslator> own;
    return own;
}

std::unique_ptr<QTranslator>& QtTexts() {
    static std::unique_ptr<QTranslator> qt;
    return qt;
}

}  // namespace

std::unique_ptr<Timer::Peer> backend::CreateTimer() { return std::make_unique<QtTimer>(); }
std::unique_ptr<WaitCursor::Peer> backend::ShowWaitCursor() {
    return std::make_unique<QtWaitCursor>();
}

std::string Translate(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

bool LoadCatalogue(const std::string& language) {
    for (auto* slot : {&OwnTexts(), &QtTexts()}) {
        if (*slot) QCoreApplication::removeTranslator(slot->get());
        slot->reset(new QTranslator);
    }
    const QString name = QString::fromStdString(language);
    const bool own = OwnTexts()->load(":/i18n/linkmate_" + name + ".qm");
    if (own) QCoreApplication::installTranslator(OwnTexts().get());
    // Qt's own texts, for the standard buttons and menus.
    if (QtTexts()->load("qtbase_" + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(QtTexts().get());
    }
    return own;
}

std::string PlatformLanguage() { return {}; }

bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    QDeadlineTimer deadline(timeout);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents();
        if (!done()) QThread::msleep(1);
    }
    return done();
}

namespace backend {

void PostToWindowThread(std::function<void()> task) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

std::string ShowFileDialog(CWnd* owner, const FileDialogCall& call) {
    QWidget* parent = owner ? qt::WidgetOf(*owner) : nullptr;
    QFileDialog dialog(parent, QString::fromStdString(call.title),
                       QString::fromStdString(call.start), QString::fromStdString(call.filter));
    // The window's font, not the desktop's, as in every dialog of the program.
    if (parent != nullptr) dialog.setFont(parent->window()->font());
    if (call.kind == FileDialogKind::kSave) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    // Added before the dialog asks whether to replace a file, so it asks about the right one.
    dialog.setDefaultSuffix(QString::fromStdString(call.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace backend

namespace qt {

QWidget* WidgetOf(const CWnd& window) {
    auto* host = dynamic_cast<WindowHost*>(window.peer());
    return host ? host->TopWindow() : nullptr;
}

QWidget* WidgetOf(const Control& control) {
    auto* peer = dynamic_cast<QtControl*>(control.peer());
    return peer ? peer->widget() : nullptr;
}

}  // namespace qt
}  // namespace linkmate::fw
