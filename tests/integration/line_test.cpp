// linkmate-cli apply on a line of virtual converters: every station at once, the faulty ones
// reported without stopping the others, and the reports a line's systems read, parsed back.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "profile/config_file.h"
#include "protocol/frame_codec.h"
#include "pty_harness.h"
#include "run_program.h"
#include "sample_configs.h"
#include "tools/sim/virtual_converter.h"

namespace linkmate {
namespace {

testing::ProgramRun Cli(const std::vector<std::string>& args) {
    return testing::RunProgram(LINKMATE_CLI_PATH, args);
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every line one JSON object.
std::vector<QJsonObject> JsonLines(const std::string& text) {
    std::vector<QJsonObject> objects;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
        EXPECT_TRUE(doc.isObject()) << line;
        objects.push_back(doc.object());
    }
    return objects;
}

struct JUnitCase {
    bool failed = false;
    std::string message;
};

// The test cases of a JUnit report, by name; the suite's counts in `tests` and `failures`.
std::map<std::string, JUnitCase> ParseJUnit(const std::string& path, int& tests, int& failures) {
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    std::map<std::string, JUnitCase> cases;
    std::string current;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const auto a = xml.attributes();
        if (xml.name() == u"testsuite") {
            tests = a.value("tests").toInt();
            failures = a.value("failures").toInt();
        } else if (xml.name() == u"testcase") {
            current = a.value("name").toString().toStdString();
            EXPECT_FALSE(a.value("time").isEmpty());
            cases[current];
        } else if (xml.name() == u"failure") {
            cases[current] = {true, a.value("message").toString().toStdString()};
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return cases;
}

class LineTest : public ::testing::Test {
protected:
    sim::VirtualConverter& Converter(sim::Options options = {}) {
        converters.push_back(std::make_unique<sim::VirtualConverter>(options));
        EXPECT_TRUE(converters.back()->Start());
        return *converters.back();
    }
    void TearDown() override {
        for (auto& c : converters) c->Stop();
    }
    std::string File(const std::string& name) const { return home.path() + "/" + name; }
    std::string WriteFile(const std::string& name, const std::string& text) const {
        std::ofstream(File(name)) << text;
        return File(name);
    }

    testing::TempConfigHome home;
    std::vector<std::unique_ptr<sim::VirtualConverter>> converters;
};

TEST_F(LineTest, EightStationsWithFaultsAreReportedWithoutStoppingTheOthers) {
    const DeviceConfig config = testing::SingleExtendedExample();
    std::string error;
    ASSERT_TRUE(WriteConfigFile(File("line.reg"), config, &error)) << error;

    sim::Options atB;
    atB.lineBitRate = 19200;
    sim::Options silent, forgetful, noisy;
    silent.fault = sim::Fault::kSilence;
    forgetful.fault = sim::Fault::kForgetful;
    noisy.noiseRate = 0.01;
    noisy.noiseSeed = 7;
    sim::VirtualConverter& good1 = Converter();
    sim::VirtualConverter& good2 = Converter();
    sim::VirtualConverter& goodB = Converter(atB);
    sim::VirtualConverter& wrongModel = Converter(atB);
    sim::VirtualConverter& quiet = Converter(silent);
    sim::VirtualConverter& forgets = Converter(forgetful);
    sim::VirtualConverter& noise = Converter(noisy);
    const std::string map =
        WriteFile("line.ini",
                  "[defaults]\nmodel=A\n"
                  "[good-1]\ndevice=" +
                      good1.devicePath() + "\n" + "[good-2]\ndevice=" + good2.devicePath() + "\n" +
                      "[good-b]\nmodel=B\ndevice=" + goodB.devicePath() + "\n" +
                      "[wrong-model]\ndevice=" + wrongModel.devicePath() + "\n" +
                      "[silent]\ndevice=" + quiet.devicePath() + "\n" + "[forgetful]\ndevice=" +
                      forgets.devicePath() + "\n" + "[noisy]\ndevice=" + noise.devicePath() + "\n" +
                      "[absent]\nusb-serial=NOT-PLUGGED-IN\n");

    const testing::ProgramRun run =
        Cli({"apply", File("line.reg"), "--stations", map, "--retries", "1", "--events",
             File("events.jsonl"), "--junit", File("junit.xml"), "--log-dir", File("logs")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("8 stations: "), std::string::npos) << run.err;

    const ConfigFrame wrote = EncodeConfigFrame(config);
    for (sim::VirtualConverter* c : {&good1, &good2, &goodB}) EXPECT_EQ(c->storedFrame(), wrote);
    EXPECT_EQ(quiet.stats().writeFrames, 8);  // four sends per attempt, each unanswered
    EXPECT_NE(forgets.storedFrame(), wrote);

    // Events: every line parses, one start and one result per station, all of one configuration.
    std::map<std::string, QJsonObject> results;
    std::map<std::string, int> attempts;
    const std::string fingerprint = [&] {
        const auto events = JsonLines(ReadText(File("events.jsonl")));
        std::string first;
        for (const QJsonObject& e : events) {
            EXPECT_EQ(e["schema"].toInt(), 1);
            const std::string station = e["station"].toString().toStdString();
            const QString event = e["event"].toString();
            EXPECT_FALSE(station.empty());
            if (first.empty()) first = e["fingerprint"].toString().toStdString();
            EXPECT_EQ(e["fingerprint"].toString().toStdString(), first);
            if (event == "result") {
                EXPECT_EQ(results.count(station), 0u) << station;
                results[station] = e;
            } else if (event == "attempt") {
                ++attempts[station];
            } else {
                EXPECT_EQ(event, "start");
            }
        }
        return first;
    }();
    EXPECT_EQ(fingerprint.size(), 8u);
    ASSERT_EQ(results.size(), 8u);
    auto outcome = [&](const std::string& s) {
        return results[s]["outcome"].toString().toStdString();
    };
    auto diagnosis = [&](const std::string& s) {
        return results[s]["diagnosis"].toString().toStdString() + " " +
               results[s]["hint"].toString().toStdString();
    };
    for (const char* s : {"good-1", "good-2", "good-b"}) {
        EXPECT_EQ(outcome(s), "ok") << s << ": " << diagnosis(s);
        EXPECT_EQ(attempts[s], 1) << s;
    }
    EXPECT_EQ(results["good-1"]["device"].toObject()["path"].toString().toStdString(),
              good1.devicePath());
    EXPECT_EQ(results["good-1"]["tool_version"].toString().toStdString().rfind("linkmate-cli ", 0),
              0u);
    EXPECT_GT(results["good-1"]["duration_ms"].toDouble(), 0);
    for (const char* s : {"wrong-model", "silent", "forgetful", "absent"})
        EXPECT_EQ(outcome(s), "failed") << s;
    EXPECT_NE(
        diagnosis("wrong-model").find("use model=B in the station map or --model B (Ternix-B)"),
        std::string::npos)
        << diagnosis("wrong-model");
    EXPECT_NE(diagnosis("silent").find("No answer"), std::string::npos) << diagnosis("silent");
    EXPECT_NE(diagnosis("forgetful").find("verification failed"), std::string::npos);
    EXPECT_EQ(attempts["forgetful"], 2);  // retried once
    EXPECT_NE(diagnosis("absent").find("NOT-PLUGGED-IN"), std::string::npos);
    EXPECT_EQ(attempts["absent"], 0);  // nothing was tried on a station without a device
    // A noisy line may fail; it must never pass with other values stored.
    if (outcome("noisy") == "ok") {
        EXPECT_EQ(noise.storedFrame(), wrote);
    }

    // The JUnit report: one case per station, the failures with their diagnosis.
    int tests = 0, failures = 0;
    const auto cases = ParseJUnit(File("junit.xml"), tests, failures);
    EXPECT_EQ(tests, 8);
    ASSERT_EQ(cases.size(), 8u);
    int failedCases = 0;
    for (const auto& [name, c] : cases) {
        failedCases += c.failed;
        EXPECT_EQ(c.failed, outcome(name) == "failed") << name;
        if (c.failed) {
            EXPECT_EQ(c.message.find(results[name]["diagnosis"].toString().toStdString()), 0u)
                << name;
        }
    }
    EXPECT_EQ(failures, failedCases);

    // The run's log keeps the traces of the failed attempts.
    std::vector<std::filesystem::path> logs;
    for (const auto& entry : std::filesystem::directory_iterator(File("logs")))
        logs.push_back(entry.path());
    ASSERT_EQ(logs.size(), 1u);
    const std::string log = ReadText(logs[0].string());
    EXPECT_NE(log.find("silent: FAILED after 2 attempt(s)"), std::string::npos) << log;
    EXPECT_NE(log.find("write, attempt 4: sent F7 F8 01"), std::string::npos) << log;
    EXPECT_NE(log.find("good-1: ok after 1 attempt(s)"), std::string::npos) << log;
}

TEST_F(LineTest, ADryRunAsksEveryConverterAndWritesNothing) {
    sim::VirtualConverter& a = Converter();
    sim::VirtualConverter& b = Converter();
    b.SetStoredConfig(testing::SingleExtendedExample());
    std::string error;
    ASSERT_TRUE(WriteConfigFile(File("line.reg"), testing::SingleExtendedExample(), &error));
    const std::string map =
        WriteFile("line.ini", "[a]\ndevice=" + a.devicePath() + "\n[b]\ndevice=" + b.devicePath() +
                                  "\n[c]\ndevice=" + a.devicePath() + "\n");
    // Two stations on one device: neither is touched; --only leaves the third out.
    testing::ProgramRun same =
        Cli({"apply", File("line.reg"), "--stations", map, "--dry-run", "-q"});
    EXPECT_EQ(same.status, 1);
    EXPECT_NE(same.err.find("a: FAILED: the same device"), std::string::npos) << same.err;
    EXPECT_EQ(a.stats().readRequests, 0);

    const testing::ProgramRun run = Cli({"apply", File("line.reg"), "--stations", map, "--only",
                                         "a", "--only", "b", "--dry-run", "--events", "-"});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto events = JsonLines(run.out);
    std::map<std::string, QJsonObject> results;
    for (const QJsonObject& e : events) {
        if (e["event"] == "result") results[e["station"].toString().toStdString()] = e;
    }
    ASSERT_EQ(results.size(), 2u);
    EXPECT_TRUE(results["b"]["dry_run"].toBool());
    auto text = [&](const char* s, const char* key) {
        return results[s][key].toString().toStdString();
    };
    EXPECT_EQ(text("b", "held_fingerprint"), text("b", "fingerprint"));
    EXPECT_NE(text("a", "held_fingerprint"), text("a", "fingerprint"));
    EXPECT_EQ(text("a", "held_fingerprint").size(), 8u);
    EXPECT_EQ(a.stats().writeFrames + b.stats().writeFrames, 0);
}

TEST_F(LineTest, ABadMapOrCommandLineIsAUsageErrorBeforeAnyPortIsOpened) {
    const std::string map = WriteFile("bad.ini", "[a]\ndevice=/dev/null\nusb-serial=X\n");
    const std::string good = WriteFile("good.ini", "[a]\ndevice=/dev/null\n");
    const std::vector<std::vector<std::string>> lines = {
        {"apply", "x.reg", "--stations", map},
        {"apply", "x.reg"},
        {"apply", "--stations", good},
        {"apply", "x.reg", "--stations", good, "--only", "b"},
        {"apply", "x.reg", "--stations", good, "--port", "1"},
        {"apply", "x.reg", "--stations", good, "--retries", "-1"},
        {"read", "--stations", good},
        {"stations"},
    };
    for (const auto& args : lines) {
        const testing::ProgramRun run = Cli(args);
        EXPECT_EQ(run.status, 2) << args[1] << ": " << run.err;
        EXPECT_NE(run.err.find("linkmate-cli: "), std::string::npos) << run.err;
    }
    const testing::ProgramRun listed = Cli({"stations", "--stations", map});
    EXPECT_NE(listed.err.find("bad.ini:3: station \"a\" is pinned twice"), std::string::npos)
        << listed.err;
    // A report that could not be written is found out before any station is.
    ASSERT_TRUE(WriteConfigFile(File("x.reg"), DeviceConfig{}, nullptr));
    const testing::ProgramRun noFolder =
        Cli({"apply", File("x.reg"), "--stations", good, "--junit", File("none/j.xml")});
    EXPECT_EQ(noFolder.status, 4);
    EXPECT_EQ(noFolder.err.find("/dev/null"), std::string::npos) << noFolder.err;
    // --init never writes over a map someone has edited.
    const testing::ProgramRun init = Cli({"stations", "--init", "--stations", good});
    EXPECT_EQ(init.status, 4);
    EXPECT_EQ(ReadText(good), "[a]\ndevice=/dev/null\n");
}

}  // namespace
}  // namespace linkmate
