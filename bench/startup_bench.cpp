// Start-up of the window: time from process start to the end of the main window's first paint
// (then it quits) and peak resident memory, offscreen, against a peer written directly in Qt
// Widgets with the same controls on three tabs. The two are started alternately in one run;
// prints the medians, the time ratio (target <= 1.05) and the memory difference (target <= +1 MiB).
// The processor time each start used (user and system) is printed beside the wall time: on a
// machine that other work keeps busy it measures the start's own work, where the wall time also
// counts the waits for a processor.
//   startup_bench [RUNS]        the comparison (default 20 runs of each)
//   startup_bench --app|--peer  one start of either (used by the comparison)
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
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
#include "protocol/config_lists.h"
#include "bench/bench_support.h"

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

template <size_t N>
QComboBox* List(const std::array<std::string_view, N>& entries, bool enabled = true) {
    auto* list = new QComboBox;
    for (std::string_view entry : entries)
        list->addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
    list->setEnabled(enabled);
    return list;
}

QLabel* Icon(int id) {
    auto* icon = new QLabel;
    icon->setPixmap(QIcon(QString(":/linkmate/icon/%1.svg").arg(id)).pixmap(32, 32));
    return icon;
}

QFrame* Line() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QSpinBox* Spin(int lower, int upper) {
    auto* spin = new QSpinBox;
    spin->setRange(lower, upper);
    return spin;
}

// The window's peer written the ordinary Qt way: the same kinds and numbers of controls (the
// banner, 2 labels, 2 lists and a button above; a tab widget with the three pages: 10 lists, 9
// edits, 3 number fields with arrows, 3 check boxes, 3 icons, 5 lines, 30 labels; 4 buttons
// below), laid out by layouts, with the same pictures, list contents and style.
int Peer(int argc, char** argv) {
    using namespace linkmate::lists;
    QApplication app(argc, argv);
    if (QStyle* classic = QStyleFactory::create("Windows")) QApplication::setStyle(classic);
    QDialog dialog;
    dialog.setWindowTitle("Trellian v2.0");
    dialog.setWindowIcon(QIcon(":/linkmate/icon/128.svg"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* banner = new QLabel;
    banner->setPixmap(QPixmap(":/linkmate/bitmap/136.svg"));
    layout->addWidget(banner);
    auto* panel = new QHBoxLayout;
    panel->addWidget(new QLabel("&Device:"));
    panel->addWidget(List(DeviceType));
    panel->addWidget(new QLabel("COM &Port:"));
    panel->addWidget(List(ConfigPort));
    panel->addWidget(new QPushButton("&Connect"));
    layout->addLayout(panel);

    auto* tabs = new QTabWidget;
    {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        grid->addWidget(new QLabel("General"), 0, 0);
        grid->addWidget(Line(), 0, 1, 1, 3);
        grid->addWidget(Icon(139), 1, 0);
        grid->addWidget(new QLabel("Conversion &Mode:"), 1, 1);
        grid->addWidget(List(TranMode), 1, 2);
        grid->addWidget(new QLabel("Conversion &Direction:"), 2, 1);
        grid->addWidget(List(TranDir), 2, 2);
        grid->addWidget(new QLabel("Conversion"), 3, 0);
        grid->addWidget(Line(), 3, 1, 1, 3);
        grid->addWidget(new QCheckBox("Allow a serial frame to contain CAN Frame Information"), 4,
                        1, 1, 3);
        grid->addWidget(new QCheckBox("Allow a serial frames to contain CAN Frame ID"), 5, 1, 1, 3);
        grid->addWidget(new QLabel("Position of CAN Frame ID"), 6, 1);
        grid->addWidget(new QLabel("Offset:"), 7, 1);
        grid->addWidget(Spin(0, 7), 7, 2);
        grid->addWidget(new QLabel("Length:"), 7, 3);
        grid->addWidget(Spin(1, 4), 7, 4);
        grid->addWidget(new QLabel("Interval between two frames:"), 8, 1);
        grid->addWidget(Spin(2, 10), 8, 2);
        grid->addWidget(new QLabel("characters"), 8, 3);
        tabs->addTab(page, "Conversion");
    }
    {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        grid->addWidget(new QLabel("General"), 0, 0);
        grid->addWidget(Line(), 0, 1, 1, 3);
        grid->addWidget(Icon(131), 1, 0);
        const char* labels[] = {
            "Ba&udrate:", "&Data Bit:", "&Parity:", "&Stop Bit:", "&Flow Ctrl:"};
        QComboBox* lists[] = {List(SerialBaudrate), List(SerialDataBit, false), List(SerialParity),
                              List(SerialStopBit, false), List(SerialFlowCtrl, false)};
        for (int row = 0; row < 5; ++row) {
            grid->addWidget(new QLabel(labels[row]), row + 1, 1);
            grid->addWidget(lists[row], row + 1, 2);
        }
        grid->addWidget(new QLabel("bps"), 1, 3);
        tabs->addTab(page, "Serial");
    }
    {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        grid->addWidget(new QLabel("General"), 0, 0);
        grid->addWidget(Line(), 0, 1, 1, 5);
        grid->addWidget(Icon(130), 1, 0);
        grid->addWidget(new QLabel("Baudr&ate:"), 1, 1);
        grid->addWidget(List(CanBaudrate), 1, 2);
        grid->addWidget(new QLabel("bps"), 1, 3);
        grid->addWidget(new QLabel("&BTR0/1:"), 1, 4);
        grid->addWidget(new QLineEdit, 1, 5);
        grid->addWidget(new QLineEdit, 1, 6);
        grid->addWidget(new QLabel("(HEX)"), 1, 7);
        grid->addWidget(new QLabel("Frame &Format:"), 2, 1);
        grid->addWidget(List(CanFrameType), 2, 2);
        grid->addWidget(new QLabel("Identifier"), 3, 0);
        grid->addWidget(Line(), 3, 1, 1, 5);
        grid->addWidget(new QLabel("&Identifier(Tx):"), 4, 1);
        grid->addWidget(new QLineEdit, 4, 2);
        grid->addWidget(new QLabel("(HEX)"), 4, 3);
        grid->addWidget(new QLabel("&Filter Mode:"), 5, 1);
        grid->addWidget(List(CanFiterMode), 5, 2);
        grid->addWidget(new QCheckBox("C&ustom mask"), 5, 3);
        grid->addWidget(new QLabel("Acceptance &Code:"), 6, 1);
        grid->addWidget(new QLineEdit, 6, 2);
        grid->addWidget(new QLineEdit, 6, 3);
        grid->addWidget(new QLineEdit, 6, 4);
        grid->addWidget(new QLabel("(HEX)"), 6, 5);
        grid->addWidget(new QLabel("Acceptance &Mask:"), 7, 1);
        grid->addWidget(new QLineEdit, 7, 2);
        grid->addWidget(new QLineEdit, 7, 3);
        grid->addWidget(new QLineEdit, 7, 4);
        grid->addWidget(new QLabel("(HEX)"), 7, 5);
        tabs->addTab(page, "CAN");
    }
    layout->addWidget(tabs);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (const char* text : {"&Default", "&Read", "&Write", "Help"}) {
        auto* button = new QPushButton(text);
        button->setEnabled(false);
        button->setVisible(text[0] == '&');
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    dialog.exec();
    return 0;
}

struct Run {
    double ms = -1;
    double cpuMs = 0;
    double peakRssMiB = 0;
};

double Ms(const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; }

// One start of `mode`: its time to the end of its first paint and its peak resident memory.
Run RunOnce(const char* self, const char* mode) {
    char* argv[] = {const_cast<char*>(self), const_cast<char*>(mode), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, self, nullptr, nullptr, argv, environ) != 0) return {};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return {
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
        Ms(usage.ru_utime) + Ms(usage.ru_stime), usage.ru_maxrss / 1024.0};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--app") == 0) {
        linkmate::CLINKMATEApp app;
        return app.InitInstance(1, argv);
    }
    if (argc > 1 && std::strcmp(argv[1], "--peer") == 0) return Peer(1, argv);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string home = linkmate::bench::UsePrivateConfigHome("startup-bench");
    if (home.empty()) return 1;
    const std::string runtime = home + "/runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    std::vector<double> appMs, peerMs, appCpu, peerCpu, appRss, peerRss;
    for (int i = 0; i < runs + 1; ++i) {
        const Run a = RunOnce(self.c_str(), "--app");
        const Run p = RunOnce(self.c_str(), "--peer");
        if (a.ms < 0 || p.ms < 0) {
            std::fprintf(stderr, "a start failed\n");
            return 1;
        }
        if (i == 0) continue;  // the first pair warms the file cache
        appMs.push_back(a.ms);
        peerMs.push_back(p.ms);
        appCpu.push_back(a.cpuMs);
        peerCpu.push_back(p.cpuMs);
        appRss.push_back(a.peakRssMiB);
        peerRss.push_back(p.peakRssMiB);
    }
    std::filesystem::remove_all(home);
    const double ma = linkmate::bench::Median(appMs), mp = linkmate::bench::Median(peerMs);
    const double ca = linkmate::bench::Median(appCpu), cp = linkmate::bench::Median(peerCpu);
    const double ra = linkmate::bench::Median(appRss), rp = linkmate::bench::Median(peerRss);
    std::printf("runs: %d\n", runs);
    std::printf("startup_to_first_paint_app_median: %.1f ms\n", ma);
    std::printf("startup_to_first_paint_qt_peer_median: %.1f ms\n", mp);
    std::printf("startup_ratio_app_to_peer: %.3f (target <= 1.05)\n", ma / mp);
    std::printf("startup_cpu_app_median: %.1f ms\n", ca);
    std::printf("startup_cpu_qt_peer_median: %.1f ms\n", cp);
    std::printf("startup_cpu_ratio_app_to_peer: %.3f\n", ca / cp);
    std::printf("peak_rss_app_median: %.1f MiB\n", ra);
    std::printf("peak_rss_qt_peer_median: %.1f MiB\n", rp);
    std::printf("peak_rss_app_minus_peer: %+.1f MiB (target <= +1)\n", ra - rp);
    return 0;
}
