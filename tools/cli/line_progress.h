// What a line's operator watches: on a terminal, a table of the stations that is redrawn in place
// (at most ten times a second, so that drawing never competes with the exchanges); elsewhere one
// plain line per change; with --quiet, only the failures at the end.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/cli/line.h"

namespace linkmate::cli {

enum class ProgressStyle { kTable, kLines, kQuiet };

// The stations' records, shared by their threads and the progress.
class LineBoard {
public:
    LineBoard(std::vector<StationRecord> records, ProgressStyle style, std::FILE* out);
    ~LineBoard();
    LineBoard(const LineBoard&) = delete;
    LineBoard& operator=(const LineBoard&) = delete;

    // The table's style on a terminal this wide and high, else plain lines.
    static ProgressStyle StyleFor(std::FILE* out, bool quiet, size_t stations);

    void SetState(size_t i, StationState state, int attempt);
    // The station's record once its thread has finished with it.
    void Finish(size_t i, StationRecord record);
    StationRecord Get(size_t i) const;
    // Stops the drawing and shows the final state; the records, in the map's order.
    std::vector<StationRecord> Close(double totalMs);

private:
    // The table as it stands, drawn over the last one.
    std::string Frame();
    void Run();

    ProgressStyle m_style;
    std::FILE* m_out;
    mutable std::mutex m_mutex;  // guards what follows
    std::condition_variable m_wake;
    std::vector<StationRecord> m_records;
    std::vector<std::chrono::steady_clock::time_point> m_started;
    bool m_closing = false;
    bool m_drawn = false;
    std::thread m_thread;
};

}  // namespace linkmate::cli
