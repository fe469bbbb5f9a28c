// Passwords in quarvo-cli: AES-256 by default and the traditional cipher on request, each read by the
// tool that should read it; the password taken from standard input or the environment instead of
// the command line, with a warning when it is on the command line; never repeated in a message.

#include "support/ProcessRunner.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace quarvo::testing {
namespace {

constexpr int Success = 0;
constexpr int WrongPassword = 8;
constexpr int BadArgument = 10;
constexpr const char* Secret = "correct horse";
constexpr const char* CommandLineWarning = "can be seen by other users";

class CliPassword : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolsInstalled({"7z", "unzip", "sh"}))
            GTEST_SKIP() << "7z, unzip or sh is not installed";
        writeFile(m_dir.file("in/text.txt"), m_text);
        writeFile(m_dir.file("in/empty"), "");
    }

    // Runs a shell line in the test directory; $CLI names quarvo-cli.
    ProcessOutcome shell(const std::string& line)
    {
        return runProcess("sh", {"-c", "CLI='" + std::string(QUARVO_CLI_PATH) + "'; " + line}, m_dir.path());
    }
    std::string read(const std::string& relative) { return readFile(m_dir.file(relative)); }

    TemporaryDirectory m_dir;
    const std::string m_text = std::string(20000, 'a') + "end\n";
};

TEST_F(CliPassword, AddWritesAes256UnlessTheTraditionalCipherIsAskedFor)
{
    ProcessOutcome added = shell(std::string("$CLI add -r -p '") + Secret + "' aes.zip in");
    ASSERT_EQ(added.exitCode, Success) << added.err;
    EXPECT_EQ(shell(std::string("7z t '-p") + Secret + "' aes.zip").exitCode, Success);
    EXPECT_NE(shell("7z t -pwrong aes.zip").exitCode, Success);
    // unzip lists AES entries but cannot decrypt them, and says why.
    EXPECT_EQ(shell("unzip -l aes.zip").exitCode, Success);
    EXPECT_NE(shell("unzip -t -P x aes.zip").out.find("need PK compat. v5.1"), std::string::npos);
    EXPECT_NE(shell("$CLI list -v aes.zip").out.find("Deflate+ "), std::string::npos);

    ASSERT_EQ(shell(std::string("$CLI add -r --zipcrypto -p '") + Secret + "' old.zip in").exitCode, Success);
    EXPECT_EQ(shell(std::string("unzip -p -P '") + Secret + "' old.zip in/text.txt").out, m_text);
    EXPECT_NE(shell("$CLI list -v old.zip").out.find("Deflate* "), std::string::npos);
}

TEST_F(CliPassword, ThePasswordComesFromStandardInputOrTheEnvironmentWithoutAWarning)
{
    struct Case {
        const char* how;
        std::string add;  // makes a.zip
        std::string test; // tests a.zip
    };
    const Case cases[] = {
        {"standard input", std::string("printf '%s\\n' '") + Secret + "' | $CLI add -r -p - a.zip in",
         std::string("printf '%s\\r\\n' '") + Secret + "' | $CLI test -p - a.zip"},
        {"environment", std::string("QUARVO_PASSWORD='") + Secret + "' $CLI add -r a.zip in",
         std::string("QUARVO_PASSWORD='") + Secret + "' $CLI test a.zip"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        std::filesystem::remove(m_dir.file("a.zip"));
        const ProcessOutcome added = shell(c.add);
        ASSERT_EQ(added.exitCode, Success) << added.err;
        EXPECT_EQ(added.err.find(CommandLineWarning), std::string::npos) << added.err;
        EXPECT_EQ(shell(std::string("7z t '-p") + Secret + "' a.zip").exitCode, Success);
        const ProcessOutcome tested = shell(c.test);
        EXPECT_EQ(tested.exitCode, Success) << tested.err;
        EXPECT_EQ(shell("$CLI test a.zip").exitCode, WrongPassword);
    }
}

TEST_F(CliPassword, APasswordOnTheCommandLineIsWarnedAboutAndNeverRepeated)
{
    const ProcessOutcome added = shell(std::string("$CLI add -r -p '") + Secret + "' a.zip in");
    ASSERT_EQ(added.exitCode, Success);
    EXPECT_NE(added.err.find(CommandLineWarning), std::string::npos) << added.err;
    const ProcessOutcome wrong = shell("$CLI extract -p 'not the one' -d out a.zip");
    EXPECT_EQ(wrong.exitCode, WrongPassword);
    EXPECT_EQ(wrong.err.find("not the one"), std::string::npos) << wrong.err;
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("out/in/text.txt")));

    EXPECT_EQ(shell("$CLI test -p - a.zip < /dev/null").exitCode, BadArgument);
    EXPECT_EQ(shell("echo | $CLI test -p - a.zip").exitCode, BadArgument);
}

} // namespace
} // namespace quarvo::testing
