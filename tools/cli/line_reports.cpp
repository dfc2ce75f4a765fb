// The line's records: JSON lines events, the JUnit report and the run's log.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>

#include "tools/cli/line.h"

namespace linkmate::cli {
namespace {

using Json = nlohmann::ordered_json;

// The events' schema; raised when a field changes meaning or goes away, not when one is added.
constexpr int kEventSchema = 1;

double RoundedMs(double ms) { return std::round(ms * 10.0) / 10.0; }

const char* ModelName(int32_t model) { return model == 1 ? "B" : "A"; }

// What every record carries.
Json Common(const LineRun& run, const StationRecord& s, const char* event) {
    Json j;
    j["schema"] = kEventSchema;
    j["time"] = UtcNow();
    j["station"] = s.station.station.name;
    j["event"] = event;
    // A dry run without a file has no configuration to name.
    j["fingerprint"] = run.fingerprint.empty() ? Json(nullptr) : Json(run.fingerprint);
    return j;
}

Json Identity(const ResolvedStation& r) {
    Json j;
    j["pin"] = std::string(PinKeyName(r.station.kind)) + "=" + r.station.pin;
    j["path"] = r.device.empty() ? Json(nullptr) : Json(r.device);
    j["usb_serial"] = r.serialNumber.empty() ? Json(nullptr) : Json(r.serialNumber);
    j["usb_path"] = r.usbPath.empty() ? Json(nullptr) : Json(r.usbPath);
    return j;
}

std::string XmlEscaped(const std::string& s) {
    std::string out;
    for (const char c : s) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            default:
                // XML 1.0 has no place for other control characters.
                if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') {
                    out += '?';
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string Seconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", ms / 1000.0);
    return text;
}

std::string TracesText(const StationRecord& s) {
    std::string out;
    for (const ExchangeTrace& t : s.failedTraces) out += t.Format();
    return out;
}

}  // namespace

std::string FrameFingerprint(const uint8_t* bytes, size_t count) {
    // FNV-1a: short, stable across builds and platforms, enough to tell configurations apart.
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    char text[9];
    std::snprintf(text, sizeof text, "%08x", hash);
    return text;
}

std::string UtcNow() {
    using namespace std::chrono;
    const auto now = floor<milliseconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss time(now - day);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                  int(time.minutes().count()), int(time.seconds().count()),
                  int(time.subseconds().count()));
    return text;
}

const char* StateName(StationState state) {
    switch (state) {
        case StationState::kWaiting: return "waiting";
        case StationState::kOpening: return "opening";
        case StationState::kWriting: return "writing";
        case StationState::kVerifying: return "verifying";
        case StationState::kProbing: return "probing";
        case StationState::kDone: return "done";
        case StationState::kFailed: return "FAILED";
    }
    return "";
}

struct EventStream::Impl {
    std::mutex mutex;
    std::FILE* file = nullptr;
    bool own = false;
    bool good = true;
};

EventStream::EventStream() = default;

EventStream::~EventStream() {
    if (m_impl != nullptr && m_impl->own) std::fclose(m_impl->file);
}

bool EventStream::Open(const std::string& path, std::string* error) {
    m_impl = std::make_unique<Impl>();
    if (path == "-") {
        m_impl->file = stdout;
        return true;
    }
    m_impl->file = std::fopen(path.c_str(), "a");
    if (m_impl->file == nullptr) {
        if (error != nullptr) *error = path + ": " + std::strerror(errno);
        return false;
    }
    m_impl->own = true;
    return true;
}

void EventStream::Write(const std::string& line) {
    if (m_impl == nullptr) return;
    const std::lock_guard lock(m_impl->mutex);
    // One write per record, flushed, so that a reader following the file sees whole lines.
    if (std::fputs((line + "\n").c_str(), m_impl->file) < 0 || std::fflush(m_impl->file) != 0)
        m_impl->good = false;
}

bool EventStream::Good() const {
    if (m_impl == nullptr) return true;
    const std::lock_guard lock(m_impl->mutex);
    return m_impl->good && !std::ferror(m_impl->file);
}

void EventStream::Start(const LineRun& run, const StationRecord& s) {
    Json j = Common(run, s, "start");
    j["model"] = ModelName(s.station.station.model);
    j["device"] = Identity(s.station);
    j["dry_run"] = run.dryRun;
    Write(j.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void EventStream::Attempt(const LineRun& run, const StationRecord& s, bool ok, double ms) {
    Json j = Common(run, s, "attempt");
    j["attempt"] = s.attempt;
    j["outcome"] = ok ? "ok" : "failed";
    j["diagnosis"] = s.diagnosis;
    j["duration_ms"] = RoundedMs(ms);
    Write(j.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void EventStream::Result(const LineRun& run, const StationRecord& s) {
    Json j = Common(run, s, "result");
    j["outcome"] = s.ok ? "ok" : "failed";
    j["diagnosis"] = s.diagnosis;
    j["duration_ms"] = RoundedMs(s.durationMs);
    j["attempts"] = s.attempt;
    j["model"] = ModelName(s.station.station.model);
    j["device"] = Identity(s.station);
    j["dry_run"] = run.dryRun;
    if (run.dryRun) j["held_fingerprint"] = s.held.empty() ? Json(nullptr) : Json(s.held);
    if (!s.hint.empty()) j["hint"] = s.hint;
    j["tool_version"] = std::string(VersionText());
    Write(j.dump(-1, ' ', false, Json::error_handler_t::replace));
}

bool WriteJUnitReport(const std::string& path, const LineRun& run,
                      const std::vector<StationRecord>& stations, double totalMs,
                      std::string* error) {
    int failures = 0;
    for (const StationRecord& s : stations) failures += s.ok ? 0 : 1;
    const std::string suite = run.dryRun ? "linkmate-cli apply --dry-run" : "linkmate-cli apply";
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<testsuites name=\"" + suite + "\" tests=\"" + std::to_string(stations.size()) +
           "\" failures=\"" + std::to_string(failures) + "\" errors=\"0\" time=\"" +
           Seconds(totalMs) + "\">\n";
    xml += "  <testsuite name=\"" + suite + "\" tests=\"" + std::to_string(stations.size()) +
           "\" failures=\"" + std::to_string(failures) + "\" errors=\"0\" skipped=\"0\" time=\"" +
           Seconds(totalMs) + "\" timestamp=\"" + run.started.substr(0, 19) + "\">\n";
    xml += "    <properties>\n      <property name=\"file\" value=\"" + XmlEscaped(run.file) +
           "\"/>\n      <property name=\"fingerprint\" value=\"" + run.fingerprint +
           "\"/>\n      <property name=\"tool_version\" value=\"" +
           XmlEscaped(std::string(VersionText())) + "\"/>\n    </properties>\n";
    for (const StationRecord& s : stations) {
        const ResolvedStation& r = s.station;
        xml += "    <testcase classname=\"linkmate.line\" name=\"" + XmlEscaped(r.station.name) +
               "\" time=\"" + Seconds(s.durationMs) + "\">\n";
        if (!s.ok) {
            const std::string message = s.diagnosis + (s.hint.empty() ? "" : " " + s.hint);
            xml += "      <failure message=\"" + XmlEscaped(message) + "\" type=\"" +
                   (s.attempt == 0 ? "identity" : "exchange") + "\">" +
                   XmlEscaped(message + "\n" + TracesText(s)) + "</failure>\n";
        }
        xml += "      <system-out>" +
               XmlEscaped("device " + (r.device.empty() ? std::string("-") : r.device) +
                          ", usb-serial " + (r.serialNumber.empty() ? "-" : r.serialNumber) +
                          ", usb-path " + (r.usbPath.empty() ? "-" : r.usbPath) + ", model " +
                          ModelName(r.station.model) + ", attempts " + std::to_string(s.attempt)) +
               "</system-out>\n    </testcase>\n";
    }
    xml += "  </testsuite>\n</testsuites>\n";
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr || std::fputs(xml.c_str(), f) < 0 || std::fclose(f) != 0) {
        if (error != nullptr) *error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::string WriteRunLog(const std::string& dir, const LineRun& run,
                        const std::vector<StationRecord>& stations, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    std::string stamp = run.started;
    for (char& c : stamp) c = c == ':' ? '-' : c;
    const std::string path = (std::filesystem::path(dir) /
                              ("apply-" + stamp + "-" + std::to_string(::getpid()) + ".log"))
                                 .string();
    std::FILE* f = std::fopen(path.c_str(), "a");
    if (f == nullptr) {
        if (error != nullptr) *error = path + ": " + std::strerror(errno);
        return std::string();
    }
    std::string text = std::string(VersionText()) + (run.dryRun ? " apply --dry-run" : " apply") +
                       " started " + run.started + "\nfile " + run.file + " fingerprint " +
                       run.fingerprint + "\n";
    for (const StationRecord& s : stations) {
        const ResolvedStation& r = s.station;
        char ms[32];
        std::snprintf(ms, sizeof ms, "%.0f ms", s.durationMs);
        text += r.station.name + ": " + (s.ok ? "ok" : "FAILED") + " after " +
                std::to_string(s.attempt) + " attempt(s), " + ms + ", device " +
                (r.device.empty() ? std::string("-") : r.device) +
                (r.serialNumber.empty() ? "" : ", usb-serial " + r.serialNumber) +
                (s.diagnosis.empty() ? "" : ": " + s.diagnosis) +
                (s.hint.empty() ? "" : " " + s.hint) + "\n";
        for (const ExchangeTrace& t : s.failedTraces) {
            std::string trace = t.Format();
            for (size_t at = 0; at < trace.size();) {
                const size_t end = trace.find('\n', at);
                text += "  " + trace.substr(at, end - at) + "\n";
                at = end == std::string::npos ? trace.size() : end + 1;
            }
        }
    }
    const bool written = std::fputs(text.c_str(), f) >= 0;
    if (std::fclose(f) != 0 || !written) {
        if (error != nullptr) *error = path + ": " + std::strerror(errno);
        return std::string();
    }
    return path;
}

}  // namespace linkmate::cli
