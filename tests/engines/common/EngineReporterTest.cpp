#include "engines/common/EngineReporter.h"
#include "engines/common/EngineLog.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quarvo;
using quarvo::testing::TemporaryDirectory;

namespace {

struct Recorder {
    std::vector<std::string> texts;
    int stopAfter = -1; // answer 1 from this many calls on
    int answer() { return stopAfter >= 0 && static_cast<int>(texts.size()) > stopAfter ? 1 : 0; }
};

int recordMessage(const char* text, uint32_t, void* data)
{
    auto* recorder = static_cast<Recorder*>(data);
    recorder->texts.push_back(std::string("M:") + text);
    return recorder->answer();
}

int recordStatus(const char* text, uint32_t percent, void* data)
{
    auto* recorder = static_cast<Recorder*>(data);
    recorder->texts.push_back(std::string("S:") + text + ":" + std::to_string(percent));
    return recorder->answer();
}

EngineReporter::Callbacks callbacksFor(Recorder& recorder)
{
    EngineReporter::Callbacks callbacks;
    callbacks.message = recordMessage;
    callbacks.messageData = &recorder;
    callbacks.status = recordStatus;
    callbacks.statusData = &recorder;
    return callbacks;
}

} // namespace

TEST(EngineReporter, StopIsStickyAndNoCallbackRunsAfterIt)
{
    Recorder recorder;
    recorder.stopAfter = 1;
    EngineReporter reporter(callbacksFor(recorder), nullptr);
    EXPECT_TRUE(reporter.status("Deflating: a", 10));
    EXPECT_FALSE(reporter.message("second call answers 1"));
    EXPECT_TRUE(reporter.stopped());
    EXPECT_FALSE(reporter.status("Deflating: b", 20));
    EXPECT_FALSE(reporter.keepAlive());
    EXPECT_FALSE(reporter.notice("anything"));
    EXPECT_EQ(recorder.texts, (std::vector<std::string>{"S:Deflating: a:10", "M:second call answers 1"}));
}

TEST(EngineReporter, NewTextIsAlwaysPassedOnAndPercentIsCapped)
{
    Recorder recorder;
    EngineReporter reporter(callbacksFor(recorder), nullptr);
    EXPECT_TRUE(reporter.status("Storing: a", 0));
    EXPECT_TRUE(reporter.status("Storing: b", 250));
    EXPECT_EQ(recorder.texts, (std::vector<std::string>{"S:Storing: a:0", "S:Storing: b:100"}));
}

TEST(EngineReporter, WorksWithoutCallbacks)
{
    EngineReporter reporter({}, nullptr);
    EXPECT_TRUE(reporter.message("nobody listens"));
    EXPECT_TRUE(reporter.status("Copying: x", 50));
    EXPECT_TRUE(reporter.notice("notice"));
    EXPECT_FALSE(reporter.stopped());
}

TEST(EngineLog, AppendsStampedLinesUnderTheStateDirectory)
{
    TemporaryDirectory directory;
    quarvo::testing::ScopedEnvironment state("XDG_STATE_HOME", directory.path().string());
    const std::string path = EngineLog::defaultPath("zip.log");
    EXPECT_EQ(path, (directory.path() / "quarvo" / "zip.log").string());
    {
        EngineLog log(path);
        EngineReporter reporter({}, &log);
        reporter.message("Adding: a.txt");
        log.write("second line\n");
    }
    {
        EngineLog log(path);
        log.write("next run");
    }
    const std::string text = quarvo::testing::readFile(path);
    ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << text;
    EXPECT_NE(text.find(" Adding: a.txt\n"), std::string::npos);
    EXPECT_NE(text.find(" second line\n"), std::string::npos);
    EXPECT_NE(text.find(" next run\n"), std::string::npos);
    EXPECT_EQ(text.find("\n\n"), std::string::npos);
}

TEST(EngineLog, FallsBackToHomeWhenStateDirectoryIsNotAbsolute)
{
    quarvo::testing::ScopedEnvironment state("XDG_STATE_HOME", "relative/dir");
    quarvo::testing::ScopedEnvironment home("HOME", "/home/someone");
    EXPECT_EQ(EngineLog::defaultPath("zip.log"), "/home/someone/.local/state/quarvo/zip.log");
}

TEST(EngineLog, UnwritableLogIsIgnored)
{
    TemporaryDirectory directory;
    quarvo::testing::writeFile(directory.path() / "file", "x");
    EngineLog log(
        (directory.path() / "file" / "zip.log").string()); // a file stands where the directory would be
    EXPECT_TRUE(log.enabled());
    log.write("lost");
    EXPECT_EQ(quarvo::testing::readFile(directory.path() / "file"), "x");
}
