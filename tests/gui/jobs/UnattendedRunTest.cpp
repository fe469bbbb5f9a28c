// "quarvo -e JOB" as a timer starts it on a desktop nobody watches: the program runs under Xvfb,
// opens the job, runs it, closes and exits with the job's result, without waiting for anyone.

#include "support/ProcessRunner.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace quarvo::testing {
namespace {

namespace fs = std::filesystem;

class UnattendedRun : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolsInstalled({"xvfb-run", "timeout"}))
            GTEST_SKIP() << "xvfb-run is not installed";
        fs::create_directories(m_dir.file("runtime"));
        ::chmod(m_dir.file("runtime").c_str(), 0700);
        m_environment.push_back(std::make_unique<ScopedEnvironment>("XDG_CONFIG_HOME", m_dir.file("config")));
        m_environment.push_back(std::make_unique<ScopedEnvironment>("XDG_RUNTIME_DIR", m_dir.file("runtime")));
        m_environment.push_back(std::make_unique<ScopedEnvironment>("QT_QPA_PLATFORM", "xcb"));
        // The X11 platform's D-Bus connection is never freed by libdbus; a sanitizer build of the
        // program would report that as its own leak.
        writeFile(m_dir.file("lsan.supp"), "leak:libdbus-1.so\n");
        m_environment.push_back(
            std::make_unique<ScopedEnvironment>("LSAN_OPTIONS", "suppressions=" + m_dir.file("lsan.supp")));
        writeFile(m_dir.file("data/a.txt"), std::string(2000, 'a'));
        writeFile(m_dir.file("data/sub/b.txt"), "bee\n");
    }

    // The program under a virtual display; "timeout" ends it should it ever wait for someone.
    ProcessOutcome runJob(const std::string& name, const std::string& text)
    {
        writeFile(m_dir.file(name), text);
        return runProcess("timeout", {"60", "xvfb-run", "-a", QUARVO_PATH, "-e" + m_dir.file(name)}, m_dir.path());
    }

    TemporaryDirectory m_dir;
    std::vector<std::unique_ptr<ScopedEnvironment>> m_environment;
};

TEST_F(UnattendedRun, ExitsWithZeroWhenTheJobSucceededAndOtherwiseNot)
{
    const std::string archive = m_dir.file("nightly.zip");
    ProcessOutcome zipped = runJob("nightly.cfz", "[Options]\nRecurseSubdirs=1\nStorePath=1\nAction=0\nCompMethod=8\n"
                                                  "Directory=" + m_dir.file("data") + "\nZIPFile=" + archive + "\n");
    EXPECT_EQ(zipped.exitCode, 0) << zipped.err;
    ASSERT_TRUE(fs::exists(archive));

    ProcessOutcome tested = runJob("check.cfu", "[Options]\nAction=3\nZIPFile=" + archive + "\n");
    EXPECT_EQ(tested.exitCode, 0) << tested.err;

    std::string bytes = readFile(archive);
    bytes[bytes.size() / 3] ^= 0x5A;
    writeFile(archive, bytes);
    ProcessOutcome damaged = runJob("check.cfu", "[Options]\nAction=3\nZIPFile=" + archive + "\n");
    EXPECT_NE(damaged.exitCode, 0);
    EXPECT_NE(damaged.exitCode, 124) << "the program waited instead of exiting";

    ProcessOutcome missing = runJob("check.cfu", "[Options]\nAction=3\nZIPFile=" + m_dir.file("gone.zip") + "\n");
    EXPECT_EQ(missing.exitCode, 3) << missing.err;
}

} // namespace
} // namespace quarvo::testing
