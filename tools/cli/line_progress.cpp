#include "tools/cli/line_progress.h"

#include <string>

#include "tools/cli/line_platform.h"

namespace linkmate::cli {
namespace {

constexpr std::chrono::milliseconds kRedrawInterval{100};
constexpr size_t kNarrowestTable = 60;

std::string TimeText(double ms) {
    char text[32];
    if (ms < 1000) {
        std::snprintf(text, sizeof text, "%.0f ms", ms);
    } else {
        std::snprintf(text, sizeof text, "%.1f s", ms / 1000.0);
    }
    return text;
}

double MsBetween(std::chrono::steady_clock::time_point from,
                 std::chrono::steady_clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// "done in 64 ms", "FAILED: no answer", "writing".
std::string StateText(const StationRecord& r, double ms) {
    if (r.state == StationState::kDone) return "done in " + TimeText(ms);
    if (r.state == StationState::kFailed)
        return "FAILED: " + r.diagnosis + (r.hint.empty() ? "" : " " + r.hint);
    return StateName(r.state);
}

size_t TerminalColumns(std::FILE* out) {
    size_t columns = 0, rows = 0;
    return TerminalSize(out, columns, rows) ? columns : kNarrowestTable;
}

}  // namespace

ProgressStyle LineBoard::StyleFor(std::FILE* out, bool quiet, size_t stations) {
    if (quiet) return ProgressStyle::kQuiet;
    size_t columns = 0, rows = 0;
    if (!TerminalSize(out, columns, rows)) return ProgressStyle::kLines;
    // The cursor cannot go back above the top of the screen, nor redraw a wrapped line.
    if (columns < kNarrowestTable || stations + 2 > rows) return ProgressStyle::kLines;
    return ProgressStyle::kTable;
}

LineBoard::LineBoard(std::vector<StationRecord> records, ProgressStyle style, std::FILE* out)
    : m_style(style),
      m_out(out),
      m_records(std::move(records)),
      m_started(m_records.size(), std::chrono::steady_clock::now()) {
    if (m_style == ProgressStyle::kTable) m_thread = std::thread(&LineBoard::Run, this);
}

LineBoard::~LineBoard() {
    if (m_thread.joinable()) Close(0);
}

void LineBoard::SetState(size_t i, StationState state, int attempt) {
    const std::lock_guard lock(m_mutex);
    StationRecord& r = m_records[i];
    if (r.state == state && r.attempt == attempt) return;
    if (r.attempt == 0 && attempt > 0) m_started[i] = std::chrono::steady_clock::now();
    r.state = state;
    r.attempt = attempt;
    if (m_style == ProgressStyle::kLines) {
        std::fprintf(m_out, "%s: %s (attempt %d)\n", r.station.station.name.c_str(),
                     StateName(state), attempt);
    }
}

void LineBoard::Finish(size_t i, StationRecord record) {
    const std::lock_guard lock(m_mutex);
    m_records[i] = std::move(record);
    const StationRecord& r = m_records[i];
    if (m_style == ProgressStyle::kLines) {
        std::fprintf(m_out, "%s: %s\n", r.station.station.name.c_str(),
                     StateText(r, r.durationMs).c_str());
    }
}

StationRecord LineBoard::Get(size_t i) const {
    const std::lock_guard lock(m_mutex);
    return m_records[i];
}

void LineBoard::Run() {
    std::unique_lock lock(m_mutex);
    while (!m_closing) {
        // Elapsed times move on their own: redraw while any station is busy, even unchanged.
        const std::string frame = Frame();
        // A slow terminal holds up this thread only, never a station's.
        lock.unlock();
        std::fputs(frame.c_str(), m_out);
        std::fflush(m_out);
        lock.lock();
        m_wake.wait_for(lock, kRedrawInterval, [this] { return m_closing; });
    }
}

// Called with the mutex held.
std::string LineBoard::Frame() {
    const auto now = std::chrono::steady_clock::now();
    const size_t columns = TerminalColumns(m_out);
    std::string text;
    if (m_drawn) text += "\x1b[" + std::to_string(m_records.size() + 1) + "A";
    auto row = [&](std::string line) {
        if (line.size() > columns - 1) line.resize(columns - 1);
        text += "\x1b[2K" + line + "\n";
    };
    char line[512];
    std::snprintf(line, sizeof line, "%-14s %-22s %-8s %-9s %s", "STATION", "DEVICE", "ATTEMPT",
                  "TIME", "STATE");
    row(line);
    for (size_t i = 0; i < m_records.size(); ++i) {
        const StationRecord& r = m_records[i];
        const bool over = r.state == StationState::kDone || r.state == StationState::kFailed;
        const double ms = over ? r.durationMs : r.attempt > 0 ? MsBetween(m_started[i], now) : 0;
        std::snprintf(line, sizeof line, "%-14s %-22s %-8s %-9s %s", r.station.station.name.c_str(),
                      r.station.device.empty() ? "-" : r.station.device.c_str(),
                      r.attempt > 0 ? std::to_string(r.attempt).c_str() : "-",
                      r.attempt > 0 ? TimeText(ms).c_str() : "", StateText(r, ms).c_str());
        row(line);
    }
    m_drawn = true;
    return text;
}

std::vector<StationRecord> LineBoard::Close(double totalMs) {
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
    const std::lock_guard lock(m_mutex);
    if (m_style == ProgressStyle::kTable) std::fputs(Frame().c_str(), m_out);
    int failed = 0;
    for (const StationRecord& r : m_records) {
        if (r.ok) continue;
        ++failed;
        // The table cuts a diagnosis at the screen's edge: the failures again, whole.
        if (m_style != ProgressStyle::kLines)
            std::fprintf(m_out, "%s: %s\n", r.station.station.name.c_str(),
                         StateText(r, 0).c_str());
    }
    if (m_style != ProgressStyle::kQuiet && totalMs > 0) {
        std::fprintf(m_out, "%zu station%s: %zu passed, %d failed in %s\n", m_records.size(),
                     m_records.size() == 1 ? "" : "s", m_records.size() - failed, failed,
                     TimeText(totalMs).c_str());
    }
    return m_records;
}

}  // namespace linkmate::cli
