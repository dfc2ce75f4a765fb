// Start-up time of the window: from process start to the first paint of the main window (then it
// quits), offscreen, against a bare Qt dialog with 3 tabs and 30 lists built the same way. The two
// are started alternately in one run; prints the medians and their ratio (target <= 1.05).
//   startup_bench [RUNS]        the comparison (default 20 runs of each)
//   startup_bench --app|--bare  one start of either (used by the comparison)
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/linkmate_app.h"

namespace {

// Ends the first dialog that paints, as soon as its paint is done.
class QuitOnFirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget != nullptr && !m_done) {
            if (auto* dialog = qobject_cast<QDialog*>(widget->window())) {
                m_done = true;
                QTimer::singleShot(0, dialog, [dialog] { dialog->done(0); });
            }
        }
        return false;
    }

private:
    bool m_done = false;
};

void InstallQuitOnFirstPaint() { qApp->installEventFilter(new QuitOnFirstPaint); }
Q_COREAPP_STARTUP_FUNCTION(InstallQuitOnFirstPaint)

int Bare(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QStyle* classic = QStyleFactory::create("Windows")) QApplication::setStyle(classic);
    QDialog dialog;
    auto* tabs = new QTabWidget(&dialog);
    for (int page = 0; page < 3; ++page) {
        auto* widget = new QWidget;
        for (int i = 0; i < 10; ++i) {
            auto* list = new QComboBox(widget);
            for (int item = 0; item < 10; ++item) list->addItem(QString("Entry %1").arg(item));
            list->setGeometry(10, 10 + 30 * i, 120, list->sizeHint().height());
        }
        tabs->addTab(widget, QString("Page %1").arg(page));
    }
    tabs->setGeometry(0, 0, 400, 360);
    dialog.resize(400, 360);
    dialog.exec();
    return 0;
}

double RunOnceMs(const char* self, const char* mode) {
    char* argv[] = {const_cast<char*>(self), const_cast<char*>(mode), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, self, nullptr, nullptr, argv, environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--app") == 0) {
        linkmate::CLINKMATEApp app;
        return app.InitInstance(1, argv);
    }
    if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) return Bare(1, argv);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string home = (std::filesystem::temp_directory_path() / "startup-bench-XXXXXX").string();
    if (mkdtemp(home.data()) == nullptr) return 1;
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    const std::string runtime = home + "/runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    std::vector<double> app, bare;
    for (int i = 0; i < runs + 1; ++i) {
        const double a = RunOnceMs(self.c_str(), "--app");
        const double b = RunOnceMs(self.c_str(), "--bare");
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a start failed\n");
            return 1;
        }
        if (i == 0) continue;  // the first pair warms the file cache
        app.push_back(a);
        bare.push_back(b);
    }
    std::filesystem::remove_all(home);
    const double ma = Median(app), mb = Median(bare);
    std::printf("runs: %d\n", runs);
    std::printf("startup_to_first_paint_app_median: %.1f ms\n", ma);
    std::printf("startup_to_first_paint_bare_dialog_median: %.1f ms\n", mb);
    std::printf("startup_ratio_app_to_bare: %.3f (target <= 1.05)\n", ma / mb);
    return 0;
}
