// The window during a Read that gets no answer: the largest gap between two turns of its event
// loop (a timer asks every millisecond), and the time from Cancel until the window is idle again.
// Offscreen, against a silent virtual converter on COM1 of a private port map.
//   exchange_gap_bench [RUNS]   (default 5; each run reads for 1.5 s, then cancels)
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/linkmate_sheet.h"
#include "profile/profile_store.h"
#include "res/resource.h"
#include "tools/sim/virtual_converter.h"
#include "bench/bench_support.h"

namespace {

class BenchSheet : public linkmate::CLINKMATESheet {
public:
    BenchSheet() : CLINKMATESheet(IDS_SHEET_CAPTION, nullptr, 0) {}
    using CLINKMATESheet::OnInitDialog;
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string home = linkmate::bench::UsePrivateConfigHome("linkmate-gap");
    if (home.empty()) return 1;

    QApplication app(argc, argv);
    if (QStyle* classic = QStyleFactory::create("Windows")) QApplication::setStyle(classic);
    linkmate::SetProfileRegistryKey(linkmate::kProfileRegistryKey);
    linkmate::SetProfileApplicationName("linkmate");

    linkmate::sim::Options options;
    options.comPort = 1;
    options.fault = linkmate::sim::Fault::kSilence;
    linkmate::sim::VirtualConverter converter(options);
    std::string error;
    if (!converter.Start(&error)) {
        std::fprintf(stderr, "virtual converter: %s\n", error.c_str());
        return 1;
    }

    std::vector<double> gaps, cancels;
    {
        BenchSheet sheet;
        sheet.OnInitDialog();
        sheet.ShowWindow(true);
        sheet.m_panel.GetDlgItem(IDC_CONNECT).Click();
        if (!sheet.m_port.IsOpen()) return 1;
        for (int run = 0; run < runs; ++run) {
            sheet.GetDlgItem(2).Click();  // Read
            QElapsedTimer clock;
            clock.start();
            qint64 last = 0, gap = 0;
            QTimer tick;
            QObject::connect(&tick, &QTimer::timeout, [&] {
                gap = std::max(gap, clock.elapsed() - last);
                last = clock.elapsed();
            });
            tick.start(1);
            QEventLoop loop;
            QTimer::singleShot(1500, &loop, &QEventLoop::quit);
            loop.exec();
            tick.stop();
            gaps.push_back(static_cast<double>(gap));

            QElapsedTimer cancel;
            cancel.start();
            sheet.CancelExchange();
            while (sheet.IsExchanging()) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            cancels.push_back(static_cast<double>(cancel.nsecsElapsed()) / 1e6);
        }
        sheet.Close();
    }
    converter.Stop();
    std::filesystem::remove_all(home);

    std::printf("silent_read_event_loop_gap_median: %.1f ms\n", linkmate::bench::Median(gaps));
    std::printf("silent_read_event_loop_gap_max: %.1f ms\n",
                *std::max_element(gaps.begin(), gaps.end()));
    std::printf("cancel_to_idle_median: %.1f ms\n", linkmate::bench::Median(cancels));
    std::printf("cancel_to_idle_max: %.1f ms\n", *std::max_element(cancels.begin(), cancels.end()));
    return 0;
}
