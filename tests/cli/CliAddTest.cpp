// quarvo-cli add and delete beside Info-ZIP's zip: the names zip stores for the same arguments,
// entries zip made found again by freshen and delete, and self-extractors that still run.

#include "support/ProcessRunner.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace quarvo::testing {
namespace {

namespace fs = std::filesystem;

constexpr int Success = 0;
constexpr int EntriesSkipped = 11;

class CliAdd : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolsInstalled({"zip", "unzip", "unzipsfx"}))
            GTEST_SKIP() << "zip, unzip or unzipsfx is not installed";
        writeFile(m_dir.file("src/dir/b.txt"), "b\n");
        writeFile(m_dir.file("src/dir/sub/c.txt"), "c\n");
        writeFile(m_dir.file("m.txt"), "m\n");
    }

    ProcessOutcome run(const std::string& program, const std::vector<std::string>& arguments)
    {
        return runProcess(program, arguments, m_dir.path());
    }
    ProcessOutcome cli(const std::vector<std::string>& arguments) { return run(QUARVO_CLI_PATH, arguments); }
    // Names as unzip lists them, in archive order.
    std::string names(const std::string& archive) { return run("unzip", {"-Z1", archive}).out; }

    TemporaryDirectory m_dir;
};

} // namespace

// Each file argument keeps its path as given, as zip stores it; -j keeps the file name only, and a
// trailing slash on a directory changes nothing.
TEST_F(CliAdd, StoresNamesAsZipDoes)
{
    struct Case {
        std::vector<std::string> options;
        std::vector<std::string> files;
    } cases[] = {
        {{}, {"src/dir/b.txt"}},
        {{"-j"}, {"src/dir/b.txt"}},
        {{"-r"}, {"src/dir"}},
        {{"-r"}, {"src/dir/"}},
        {{"-r"}, {"./src/dir/sub"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.options;
        SCOPED_TRACE(::testing::PrintToString(c.options) + ::testing::PrintToString(c.files));
        fs::remove(m_dir.file("q.zip"));
        fs::remove(m_dir.file("z.zip"));
        std::vector<std::string> zipArguments = c.options;
        zipArguments.insert(zipArguments.begin(), "-q");
        zipArguments.push_back("z.zip");
        zipArguments.insert(zipArguments.end(), c.files.begin(), c.files.end());
        ASSERT_EQ(run("zip", zipArguments).exitCode, Success);
        std::vector<std::string> cliArguments = {"add"};
        cliArguments.insert(cliArguments.end(), c.options.begin(), c.options.end());
        cliArguments.push_back("q.zip");
        cliArguments.insert(cliArguments.end(), c.files.begin(), c.files.end());
        const ProcessOutcome added = cli(cliArguments);
        ASSERT_EQ(added.exitCode, Success) << added.err;
        EXPECT_EQ(names("q.zip"), names("z.zip"));
    }
}

// Names beginning with a dot are taken like any other, as zip takes them; --no-hidden leaves them
// out and says how many it left.
TEST_F(CliAdd, DotFilesAreLeftOutOnlyWhenAsked)
{
    writeFile(m_dir.file("src/dir/.hidden/.rc"), "rc\n");
    ASSERT_EQ(cli({"add", "-r", "all.zip", "src"}).exitCode, Success);
    EXPECT_NE(names("all.zip").find("src/dir/.hidden/.rc"), std::string::npos) << names("all.zip");
    const ProcessOutcome visible = cli({"add", "-r", "--no-hidden", "visible.zip", "src"});
    ASSERT_EQ(visible.exitCode, Success) << visible.err;
    EXPECT_EQ(names("visible.zip").find(".hidden"), std::string::npos) << names("visible.zip");
    EXPECT_NE(visible.err.find("Skipped 1 hidden file or folder (names beginning with a dot)"), std::string::npos)
        << visible.err;
}

// Freshen replaces the entry zip made for the same argument; delete removes what matched, names
// what did not and fails the run for it.
TEST_F(CliAdd, FreshenAndDeleteFindWhatZipStored)
{
    ASSERT_EQ(run("zip", {"-qr", "z.zip", "src", "m.txt"}).exitCode, Success);
    const std::string listed = names("z.zip");
    writeFile(m_dir.file("src/dir/b.txt"), "newer\n");
    const std::time_t later = std::time(nullptr) + 10;
    struct timespec times[2] = {{later, 0}, {later, 0}};
    utimensat(AT_FDCWD, m_dir.file("src/dir/b.txt").c_str(), times, 0);
    const ProcessOutcome freshened = cli({"add", "--freshen", "z.zip", "src/dir/b.txt"});
    ASSERT_EQ(freshened.exitCode, Success) << freshened.err;
    EXPECT_EQ(names("z.zip"), listed);
    EXPECT_EQ(run("unzip", {"-p", "z.zip", "src/dir/b.txt"}).out, "newer\n");

    const ProcessOutcome deleted = cli({"delete", "z.zip", "src/dir/sub/*", "nothing.txt", "m.txt"});
    EXPECT_EQ(deleted.exitCode, EntriesSkipped);
    EXPECT_NE(deleted.err.find("nothing.txt"), std::string::npos) << deleted.err;
    // As with zip -d, `*` also matches nothing at all: the directory's own entry goes too.
    EXPECT_EQ(names("z.zip"), "src/\nsrc/dir/\nsrc/dir/b.txt\n");
}

// A self-extractor keeps its program whatever it is called, and still extracts after the change.
TEST_F(CliAdd, SelfExtractorStillRunsAfterAdd)
{
    ASSERT_EQ(run("zip", {"-q", "base.zip", "src/dir/b.txt"}).exitCode, Success);
    ASSERT_EQ(run("sh", {"-c", "cat \"$(command -v unzipsfx)\" base.zip > installer && zip -qA installer"})
                  .exitCode,
              Success);
    const std::string before = readFile(m_dir.file("installer"));
    const ProcessOutcome added = cli({"add", "installer", "m.txt"});
    ASSERT_EQ(added.exitCode, Success) << added.err;
    const std::string after = readFile(m_dir.file("installer"));
    const size_t stub = before.find("PK\x03\x04");
    EXPECT_EQ(after.substr(0, stub), before.substr(0, stub));
    chmod(m_dir.file("installer").c_str(), 0755);
    EXPECT_EQ(run(m_dir.file("installer"), {"-t"}).exitCode, Success);
    EXPECT_EQ(run(m_dir.file("installer"), {"-d", "out"}).exitCode, Success);
    EXPECT_EQ(readFile(m_dir.file("out/m.txt")), "m\n");
    EXPECT_EQ(run("unzip", {"-tq", "installer"}).exitCode, Success);
}

} // namespace quarvo::testing
