// Job files run through the real engines, from the file on disk as a timer would run them: a ZIP job
// compresses a tree (read back with Info-ZIP's unzip), a Freshen job replaces only what changed, an
// UNZIP job extracts byte for byte into a new directory, and a test job tests.

#include "core/engine/LinkedEngines.h"
#include "core/jobs/JobFileRun.h"
#include "core/jobs/JobRun.h"
#include "core/jobs/UnattendedUserInterface.h"
#include "core/settings/AppSettings.h"

#include "support/ProcessRunner.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

using namespace quarvo;
using quarvo::testing::readFile;
using quarvo::testing::runProcess;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::toolsInstalled;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

namespace {

class JobEndToEndTest : public ::testing::Test {
  protected:
    JobEndToEndTest() : settings(directory.file("quarvo.ini"), directory.path().string())
    {
        writeFile(source("a.txt"), std::string(5000, 'a'));
        writeFile(source("sub/b.txt"), "bravo\n");
        writeFile(source("sub/deep/c.bin"), quarvo::testing::randomBytes(70000, 7));
    }

    std::string source(const std::string& name) const { return directory.file("source/" + name); }

    // Writes a job file and runs it as "quarvo-cli job" does; the engine's messages are collected.
    uint16_t runJob(const std::string& name, const std::string& text)
    {
        const std::string path = directory.file(name);
        writeFile(path, text);
        std::FILE* messages = std::tmpfile();
        UnattendedUserInterface ui(messages);
        uint16_t result = runJobFile(path, ui, engines, settings);
        std::rewind(messages);
        char buffer[4096];
        size_t count = std::fread(buffer, 1, sizeof buffer, messages);
        lastMessages.assign(buffer, count);
        std::fclose(messages);
        return result;
    }

    std::string unzipListing() const
    {
        return runProcess("unzip", {"-l", directory.file("out/tree.zip")}, directory.path()).out;
    }

    TemporaryDirectory directory;
    AppSettings settings;
    LinkedEngines engines;
    std::string lastMessages;
};

std::string zipJobText(int action, const std::string& directory, const std::string& zipFile)
{
    return "[Options]\nRecurseSubdirs=1\nStorePath=1\nAction=" + std::to_string(action) +
           "\nCompMethod=8\nDirectory=" + directory + "\nZIPFile=" + zipFile + "\n[Comment]\n0=\n";
}

TEST_F(JobEndToEndTest, AZipJobCompressesATreeAndAFreshenJobReplacesOnlyWhatChanged)
{
    if (!toolsInstalled({"unzip"}))
        GTEST_SKIP() << "Info-ZIP unzip is not installed";
    const std::string archive = directory.file("out/tree.zip");
    fs::create_directories(directory.file("out"));
    ASSERT_EQ(runJob("backup.cfz", zipJobText(0, directory.file("source"), archive)), EngineResult::Ok) << lastMessages;
    std::string listing = unzipListing();
    for (const char* name : {"a.txt", "sub/b.txt", "sub/deep/c.bin"})
        EXPECT_NE(listing.find(name), std::string::npos) << name << " in\n" << listing;
    // The two directories are stored as entries of their own.
    EXPECT_NE(listing.find("5 files"), std::string::npos) << listing;

    // b.txt changes and is newer; a.txt changes too but keeps its old time, so Freshen leaves it;
    // d.txt is new, and Freshen adds nothing new.
    const auto later = fs::last_write_time(source("sub/b.txt")) + std::chrono::hours(1);
    writeFile(source("sub/b.txt"), "bravo, changed\n");
    fs::last_write_time(source("sub/b.txt"), later);
    const auto aTime = fs::last_write_time(source("a.txt"));
    writeFile(source("a.txt"), std::string(5000, 'A'));
    fs::last_write_time(source("a.txt"), aTime);
    writeFile(source("d.txt"), "new");
    ASSERT_EQ(runJob("freshen.cfz", zipJobText(2, directory.file("source"), archive)), EngineResult::Ok) << lastMessages;

    listing = unzipListing();
    EXPECT_EQ(listing.find("d.txt"), std::string::npos) << listing;
    auto entry = [&](const char* name) { return runProcess("unzip", {"-p", archive, name}, directory.path()).out; };
    EXPECT_EQ(entry("sub/b.txt"), "bravo, changed\n");
    EXPECT_EQ(entry("a.txt"), std::string(5000, 'a'));
}

TEST_F(JobEndToEndTest, AnUnzipJobExtractsIntoANewDirectoryAndATestJobTests)
{
    const std::string archive = directory.file("out/tree.zip");
    fs::create_directories(directory.file("out"));
    ASSERT_EQ(runJob("backup.cfz", zipJobText(0, directory.file("source"), archive)), EngineResult::Ok) << lastMessages;

    const std::string restore = directory.file("restore/today");
    ASSERT_EQ(runJob("restore.CFU", "[Options]\nRecreate=1\nAction=0\nDirectory=" + restore + "\nZIPFile=" + archive + "\n"),
              EngineResult::Ok)
        << lastMessages;
    for (const char* name : {"a.txt", "sub/b.txt", "sub/deep/c.bin"})
        EXPECT_EQ(readFile(restore + "/" + name), readFile(source(name))) << name;

    // A test job reads every entry and writes nothing, wherever its directory points.
    const std::string untouched = directory.file("untouched");
    const std::string testJob = "[Options]\nAction=3\nDirectory=" + untouched + "\nZIPFile=" + archive + "\n";
    EXPECT_EQ(runJob("check.cfu", testJob), EngineResult::Ok) << lastMessages;
    EXPECT_FALSE(fs::exists(untouched));

    // A damaged archive fails the test, and a missing one fails too.
    std::string bytes = readFile(archive);
    bytes[bytes.size() / 2] ^= 0x55;
    writeFile(archive, bytes);
    EXPECT_NE(runJob("check.cfu", testJob), EngineResult::Ok);
    EXPECT_FALSE(lastMessages.empty());
    fs::remove(archive);
    EXPECT_NE(runJob("check.cfu", testJob), EngineResult::Ok);
    EXPECT_FALSE(fs::exists(untouched));
}

TEST_F(JobEndToEndTest, AFileThatIsNoUsableJobIsRefusedWithWords)
{
    EXPECT_EQ(runJob("notes.txt", "[Options]\nAction=0\n"), JobResult::Refused);
    EXPECT_NE(lastMessages.find("is no job file"), std::string::npos) << lastMessages;
    EXPECT_EQ(runJob("bad.cfz", "[Options]\nAction=0\nZIPFile=" + std::string(300, 'z') + "\n"), JobResult::Refused);
    EXPECT_NE(lastMessages.find("\"ZIPFile\" is longer than 259 characters."), std::string::npos) << lastMessages;
    EXPECT_EQ(runJob("odd.cfu", "[Options]\nAction=5\nZIPFile=a.zip\n"), JobResult::Refused);
    EXPECT_NE(lastMessages.find("The job was not run."), std::string::npos) << lastMessages;
}

} // namespace
