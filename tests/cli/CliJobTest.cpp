// "quarvo-cli job" as a timer would run it: no display, the job file's own paths, and an exit status
// that tells success from failure.

#include "support/ProcessRunner.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quarvo::testing {
namespace {

namespace fs = std::filesystem;

class CliJob : public ::testing::Test {
  protected:
    void SetUp() override
    {
        writeFile(m_dir.file("data/report.txt"), std::string(4000, 'r'));
        writeFile(m_dir.file("data/sub/figures.csv"), "1,2,3\n");
        // The job runs with the user's settings: a profile of its own keeps the real one out.
        m_config = std::make_unique<ScopedEnvironment>("XDG_CONFIG_HOME", m_dir.file("config"));
        m_display = std::make_unique<ScopedEnvironment>("DISPLAY", "");
    }

    ProcessOutcome job(const std::string& name, const std::string& text)
    {
        writeFile(m_dir.file(name), text);
        return runProcess(QUARVO_CLI_PATH, {"job", name}, m_dir.path());
    }

    TemporaryDirectory m_dir;
    std::unique_ptr<ScopedEnvironment> m_config;
    std::unique_ptr<ScopedEnvironment> m_display;
};

TEST_F(CliJob, RunsAZipJobAndAnUnzipJobAndReportsFailures)
{
    const std::string archive = m_dir.file("backup.zip");
    ProcessOutcome zipped = job("backup.cfz", "[Options]\nRecurseSubdirs=1\nStorePath=1\nAction=0\nCompMethod=8\n"
                                              "Directory=data\nZIPFile=" + archive + "\n");
    ASSERT_EQ(zipped.exitCode, 0) << zipped.err;
    EXPECT_TRUE(fs::exists(archive));

    ProcessOutcome restored = job("restore.cfu", "[Options]\nRecreate=1\nAction=0\nDirectory=restored\nZIPFile=backup.zip\n");
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(readFile(m_dir.file("restored/sub/figures.csv")), "1,2,3\n");
    EXPECT_EQ(readFile(m_dir.file("restored/report.txt")), std::string(4000, 'r'));

    // Testing a damaged archive fails with the engine's result and its words on standard error.
    std::string bytes = readFile(archive);
    bytes[bytes.size() / 3] ^= 0x5A;
    writeFile(m_dir.file("damaged.zip"), bytes);
    ProcessOutcome damaged = job("check.cfu", "[Options]\nAction=3\nZIPFile=damaged.zip\n");
    EXPECT_NE(damaged.exitCode, 0);
    EXPECT_NE(damaged.err, "");

    ProcessOutcome missing = job("check.cfu", "[Options]\nAction=3\nZIPFile=missing.zip\n");
    EXPECT_EQ(missing.exitCode, 3) << missing.err;
    EXPECT_EQ(missing.out, "");
}

TEST_F(CliJob, RefusesWhatIsNoUsableJob)
{
    struct Case {
        const char* name;
        std::string text;
        const char* words;
    };
    const Case cases[] = {
        {"notes.txt", "[Options]\n", "is no job file"},
        {"odd.cfz", "[Options]\nAction=17\nZIPFile=a.zip\n", "none of the commands a ZIP job can run"},
        {"long.cfu", "[Options]\nZIPFile=" + std::string(300, 'z') + "\n", "longer than 259 characters"},
    };
    for (const Case& test : cases) {
        ProcessOutcome outcome = job(test.name, test.text);
        EXPECT_EQ(outcome.exitCode, 10) << test.name;
        EXPECT_NE(outcome.err.find(test.words), std::string::npos) << outcome.err;
    }
    ProcessOutcome absent = runProcess(QUARVO_CLI_PATH, {"job", "absent.cfz"}, m_dir.path());
    EXPECT_EQ(absent.exitCode, 10);
    EXPECT_NE(absent.err.find("absent.cfz was not found."), std::string::npos) << absent.err;
}

} // namespace
} // namespace quarvo::testing
