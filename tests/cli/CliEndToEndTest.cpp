// Runs the built quarvo-cli the way a script would, with Info-ZIP zip and unzip as the independent
// side: what one writes the other must read.

#include "support/ProcessRunner.h"

#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>

namespace quarvo::testing {
namespace {

namespace fs = std::filesystem;

// Exit statuses of the engines that these tests expect by number.
constexpr int Success = 0;
constexpr int BadArchive = 2;
constexpr int CannotOpenArchive = 3;
constexpr int CrcError = 7;
constexpr int WrongPassword = 8;
constexpr int BadArgument = 10;
constexpr int EntriesSkipped = 11;
constexpr int NothingToDo = 12;

std::string textLines(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "line " + std::to_string(i) + " of a text that compresses well\n";
    return text;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

class Cli : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolsInstalled({"zip", "unzip"}))
            GTEST_SKIP() << "zip or unzip is not installed";
        writeFile(m_dir.file("docs/readme.txt"), m_text);
        writeFile(m_dir.file("docs/sub/name with space.txt"), "spaced\n");
        writeFile(m_dir.file("data.bin"), m_binary);
        writeFile(m_dir.file("empty.txt"), "");
    }

    ProcessOutcome cli(const std::vector<std::string>& arguments)
    {
        return runProcess(QUARVO_CLI_PATH, arguments, m_dir.path());
    }
    ProcessOutcome tool(const std::string& program, const std::vector<std::string>& arguments)
    {
        return runProcess(program, arguments, m_dir.path());
    }
    // Runs quarvo-cli and expects it to succeed quietly on standard output.
    void expectSuccess(const std::vector<std::string>& arguments)
    {
        ProcessOutcome outcome = cli(arguments);
        EXPECT_EQ(outcome.exitCode, Success) << ::testing::PrintToString(arguments) << "\n" << outcome.err;
        EXPECT_EQ(outcome.out, "") << ::testing::PrintToString(arguments);
    }
    std::set<std::string> listed(const std::string& archive)
    {
        ProcessOutcome outcome = cli({"list", archive});
        EXPECT_EQ(outcome.exitCode, Success) << outcome.err;
        std::vector<std::string> lines = linesOf(outcome.out);
        return {lines.begin(), lines.end()};
    }
    std::string read(const std::string& relative) { return readFile(m_dir.file(relative)); }
    bool exists(const std::string& relative) { return fs::exists(m_dir.file(relative)); }
    void setModified(const std::string& relative, fs::file_time_type time)
    {
        fs::last_write_time(m_dir.file(relative), time);
    }

    TemporaryDirectory m_dir;
    const std::string m_text = textLines(2000);
    const std::string m_binary = randomBytes(70000, 7);
};

TEST_F(Cli, AddThenExtractKeepsEveryByteAndInfoZipAgrees)
{
    expectSuccess({"add", "-r", "made.zip", "docs", "data.bin", "empty.txt"});
    EXPECT_EQ(listed("made.zip"),
              (std::set<std::string>{"docs/", "docs/readme.txt", "docs/sub/", "docs/sub/name with space.txt",
                                     "data.bin", "empty.txt"}));
    EXPECT_EQ(tool("unzip", {"-tq", "made.zip"}).exitCode, 0);

    expectSuccess({"test", "made.zip"});
    expectSuccess({"extract", "-d", "out", "made.zip"});
    EXPECT_EQ(read("out/docs/readme.txt"), m_text);
    EXPECT_EQ(read("out/docs/sub/name with space.txt"), "spaced\n");
    EXPECT_EQ(read("out/data.bin"), m_binary);
    EXPECT_TRUE(exists("out/empty.txt"));
    EXPECT_EQ(read("out/empty.txt"), "");
}

TEST_F(Cli, ReadsArchivesMadeByInfoZip)
{
    ASSERT_EQ(tool("zip", {"-q", "-r", "z.zip", "docs", "data.bin"}).exitCode, 0);
    expectSuccess({"test", "z.zip"});
    expectSuccess({"extract", "-d", "out", "z.zip"});
    EXPECT_EQ(read("out/docs/readme.txt"), m_text);
    EXPECT_EQ(read("out/data.bin"), m_binary);

    ProcessOutcome verbose = cli({"list", "-v", "z.zip"});
    ASSERT_EQ(verbose.exitCode, Success) << verbose.err;
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", crc32Of(m_binary));
    bool sawBinary = false;
    for (const std::string& line : linesOf(verbose.out)) {
        if (!line.ends_with(" data.bin"))
            continue;
        sawBinary = true;
        EXPECT_TRUE(line.starts_with("     70000 ")) << line;
        EXPECT_NE(line.find(std::string(" ") + crc + " "), std::string::npos) << line;
    }
    EXPECT_TRUE(sawBinary) << verbose.out;
    EXPECT_TRUE(linesOf(verbose.out).back().ends_with("5 entries")) << verbose.out;
}

TEST_F(Cli, EveryCompressionLevelIsReadableByInfoZip)
{
    const std::vector<std::pair<std::string, std::string>> table = {
        {"-0", "Stored"}, {"-1", "Deflate"}, {"-5", "Deflate"}, {"-8", "Deflate"}};
    std::vector<uintmax_t> sizes;
    for (const auto& [level, method] : table) {
        SCOPED_TRACE(level);
        const std::string archive = "level" + level + ".zip";
        expectSuccess({"add", level, archive, "docs/readme.txt"});
        ProcessOutcome verbose = cli({"list", "-v", archive});
        EXPECT_NE(verbose.out.find(" " + method + " "), std::string::npos) << verbose.out;
        EXPECT_EQ(tool("unzip", {"-p", archive, "docs/readme.txt"}).out, m_text);
        sizes.push_back(fs::file_size(m_dir.file(archive)));
    }
    EXPECT_GT(sizes[0], sizes[1]);
    EXPECT_GE(sizes[1], sizes[3]);
}

TEST_F(Cli, DamagedOrMissingArchivesFailWithAMessage)
{
    ASSERT_EQ(tool("zip", {"-q", "-0", "z.zip", "data.bin"}).exitCode, 0);
    std::string bytes = read("z.zip");
    bytes[bytes.size() / 2] ^= 0x55; // inside the stored data
    writeFile(m_dir.file("z.zip"), bytes);

    ProcessOutcome tested = cli({"test", "z.zip"});
    EXPECT_EQ(tested.exitCode, CrcError);
    EXPECT_NE(tested.err.find("data.bin"), std::string::npos) << tested.err;
    ProcessOutcome extracted = cli({"extract", "-d", "out", "z.zip"});
    EXPECT_EQ(extracted.exitCode, CrcError);
    EXPECT_EQ(extracted.out, "");
    EXPECT_FALSE(exists("out/data.bin")) << "a damaged entry must not leave a partial file";

    writeFile(m_dir.file("text.zip"), m_text);
    for (std::string command : {"list", "test", "extract"}) {
        SCOPED_TRACE(command);
        ProcessOutcome notZip = cli({command, "text.zip"});
        EXPECT_EQ(notZip.exitCode, BadArchive);
        EXPECT_NE(notZip.err, "");
        EXPECT_EQ(notZip.out, "");
        ProcessOutcome missing = cli({command, "missing.zip"});
        EXPECT_EQ(missing.exitCode, CannotOpenArchive);
        EXPECT_NE(missing.err.find("missing.zip"), std::string::npos) << missing.err;
    }
}

// An archive that cannot be read is named for what it is: a part of a split set or a ZIP64 archive
// is a ZIP archive, and saying otherwise sends the user looking for the wrong problem.
TEST_F(Cli, ArchivesThatCannotBeReadAreNamedForWhatTheyAre)
{
    ASSERT_EQ(tool("zip", {"-q", "-s", "64k", "split.zip", "data.bin"}).exitCode, 0); // split.z01, split.zip
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("a.txt", "a"));
    ZipBuilder::End saturated; // ZIP64 counts without the ZIP64 end record that holds them
    saturated.entriesOnThisDisk = saturated.entriesTotal = 0xFFFF;
    writeFile(m_dir.file("zip64.zip"), builder.finish(saturated));
    const std::vector<std::pair<std::string, std::string>> table = {
        {"split.z01", "This is the first part of a split archive"},
        {"split.zip", "This is the last part of a split archive"},
        {"zip64.zip", "This is a ZIP64 archive whose ZIP64 end of central directory record is missing"},
        {"missing.zip", "Cannot open missing.zip: No such file or directory.\n"},
    };
    for (const auto& [archive, message] : table) {
        for (std::string command : {"test", "extract"}) {
            SCOPED_TRACE(command + " " + archive);
            ProcessOutcome outcome = cli({command, archive});
            EXPECT_NE(outcome.exitCode, Success);
            EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
            EXPECT_EQ(outcome.err.find("not a ZIP archive"), std::string::npos) << outcome.err;
        }
    }
}

TEST_F(Cli, PasswordsWorkBothWaysWithInfoZip)
{
    expectSuccess({"add", "--zipcrypto", "-p", "secret", "ours.zip", "docs/readme.txt"});
    EXPECT_EQ(tool("unzip", {"-P", "secret", "-p", "ours.zip", "docs/readme.txt"}).out, m_text);
    EXPECT_EQ(cli({"test", "ours.zip"}).exitCode, WrongPassword);
    // The traditional cipher checks a password against one byte of its random header, so a wrong one
    // passes that check once in 256 adds and is caught by the data's CRC instead; it never passes.
    const int wrong = cli({"test", "-p", "wrong", "ours.zip"}).exitCode;
    EXPECT_TRUE(wrong == WrongPassword || wrong == CrcError) << wrong;
    EXPECT_NE(cli({"list", "-v", "ours.zip"}).out.find("Deflate* "), std::string::npos);

    ASSERT_EQ(tool("zip", {"-q", "-P", "other", "theirs.zip", "data.bin"}).exitCode, 0);
    expectSuccess({"extract", "-p", "other", "-d", "out", "theirs.zip"});
    EXPECT_EQ(read("out/data.bin"), m_binary);
}

TEST_F(Cli, DeleteRemovesOnlyTheNamedEntries)
{
    ASSERT_EQ(tool("zip", {"-q", "-r", "z.zip", "docs", "data.bin", "empty.txt"}).exitCode, 0);
    expectSuccess({"delete", "z.zip", "data.bin", "docs/sub/name with space.txt"});
    EXPECT_EQ(listed("z.zip"), (std::set<std::string>{"docs/", "docs/readme.txt", "docs/sub/", "empty.txt"}));
    EXPECT_EQ(tool("unzip", {"-tq", "z.zip"}).exitCode, 0);

    const std::string before = read("z.zip");
    ProcessOutcome nothing = cli({"delete", "z.zip", "not-there.txt"});
    EXPECT_EQ(nothing.exitCode, NothingToDo);
    EXPECT_NE(nothing.err.find("Nothing to do!"), std::string::npos) << nothing.err;
    EXPECT_EQ(read("z.zip"), before);
}

TEST_F(Cli, AddingOnlyMissingFilesIsNothingToDoAndCreatesNoArchive)
{
    ProcessOutcome outcome = cli({"add", "new.zip", "no-such-file.txt"});
    EXPECT_EQ(outcome.exitCode, NothingToDo);
    EXPECT_NE(outcome.err.find("Nothing to do!"), std::string::npos) << outcome.err;
    EXPECT_FALSE(exists("new.zip"));
}

TEST_F(Cli, UpdateFreshenAndMoveFollowTheFiles)
{
    const auto then = fs::file_time_type::clock::now() - std::chrono::hours(48);
    writeFile(m_dir.file("old.txt"), "first\n");
    setModified("old.txt", then);
    expectSuccess({"add", "a.zip", "old.txt"});

    writeFile(m_dir.file("old.txt"), "second\n");
    setModified("old.txt", then + std::chrono::hours(1));
    writeFile(m_dir.file("new.txt"), "new\n");
    expectSuccess({"add", "--freshen", "a.zip", "old.txt", "new.txt"});
    EXPECT_EQ(listed("a.zip"), (std::set<std::string>{"old.txt"}));
    EXPECT_EQ(tool("unzip", {"-p", "a.zip", "old.txt"}).out, "second\n");

    expectSuccess({"add", "--update", "a.zip", "old.txt", "new.txt"});
    EXPECT_EQ(listed("a.zip"), (std::set<std::string>{"old.txt", "new.txt"}));

    writeFile(m_dir.file("moved.txt"), "moved\n");
    expectSuccess({"add", "--move", "a.zip", "moved.txt"});
    EXPECT_FALSE(exists("moved.txt"));
    EXPECT_EQ(tool("unzip", {"-p", "a.zip", "moved.txt"}).out, "moved\n");
}

TEST_F(Cli, JunkingDirectoryNamesOnAddAndExtract)
{
    expectSuccess({"add", "-r", "-j", "flat.zip", "docs"});
    EXPECT_EQ(listed("flat.zip"), (std::set<std::string>{"readme.txt", "name with space.txt"}));

    ASSERT_EQ(tool("zip", {"-q", "-r", "z.zip", "docs"}).exitCode, 0);
    expectSuccess({"extract", "-j", "-d", "out", "z.zip"});
    EXPECT_EQ(read("out/readme.txt"), m_text);
    EXPECT_EQ(read("out/name with space.txt"), "spaced\n");
    EXPECT_FALSE(exists("out/docs"));
}

TEST_F(Cli, ExtractTakesOnlyTheNamedEntries)
{
    ASSERT_EQ(tool("zip", {"-q", "-r", "z.zip", "docs", "data.bin"}).exitCode, 0);
    expectSuccess({"extract", "-d", "out", "z.zip", "docs/sub/name with space.txt", "data.bin"});
    EXPECT_TRUE(exists("out/docs/sub/name with space.txt"));
    EXPECT_TRUE(exists("out/data.bin"));
    EXPECT_FALSE(exists("out/docs/readme.txt"));
}

TEST_F(Cli, NamesThatMatchNothingAreReportedAndFailTheRunWhileTheOthersAreExtracted)
{
    ASSERT_EQ(tool("zip", {"-q", "-r", "z.zip", "docs", "data.bin"}).exitCode, 0);
    for (std::vector<std::string> command : {std::vector<std::string>{"extract", "-d", "out"}, {"test"}}) {
        SCOPED_TRACE(command[0]);
        command.insert(command.end(), {"z.zip", "data.bin", "missing.txt", "*.nope"});
        ProcessOutcome outcome = cli(command);
        EXPECT_EQ(outcome.exitCode, EntriesSkipped);
        for (const char* expected : {"No entry of the archive matches missing.txt.",
                                     "No entry of the archive matches *.nope.", "2 names matched no entry"})
            EXPECT_NE(outcome.err.find(expected), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.find("docs"), std::string::npos) << outcome.err;
    }
    EXPECT_EQ(read("out/data.bin"), m_binary);
    EXPECT_FALSE(exists("out/docs"));
}

TEST_F(Cli, AnEmptyArchiveHoldsNoEntriesAndIsNoError)
{
    writeFile(m_dir.file("empty.zip"), ZipBuilder().finish()); // the end record alone, as zip -d leaves it
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"test", "empty.zip"}, {"extract", "-d", "out", "empty.zip"}}) {
        SCOPED_TRACE(arguments[0]);
        ProcessOutcome outcome = cli(arguments);
        EXPECT_EQ(outcome.exitCode, Success);
        EXPECT_EQ(outcome.err, "The archive holds no entries.\n");
    }
}

TEST_F(Cli, ExistingFilesAreKeptUnlessOverwriteIsGiven)
{
    ASSERT_EQ(tool("zip", {"-q", "z.zip", "data.bin"}).exitCode, 0);
    writeFile(m_dir.file("out/data.bin"), "mine");
    ProcessOutcome kept = cli({"extract", "-d", "out", "z.zip"});
    EXPECT_EQ(kept.exitCode, EntriesSkipped);
    EXPECT_NE(kept.err.find("data.bin"), std::string::npos) << kept.err;
    EXPECT_EQ(read("out/data.bin"), "mine");

    expectSuccess({"extract", "-o", "-d", "out", "z.zip"});
    EXPECT_EQ(read("out/data.bin"), m_binary);
}

TEST_F(Cli, ListingEscapesControlCharactersInNames)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("evil\x1B[2J\rname.txt", "x"));
    builder.add(ZipBuilder::stored("plain.txt", "y"));
    writeFile(m_dir.file("hostile.zip"), builder.finish());
    for (std::string option : {"", "-v"}) {
        SCOPED_TRACE(option);
        std::vector<std::string> arguments = {"list", "hostile.zip"};
        if (!option.empty())
            arguments.insert(arguments.begin() + 1, option);
        ProcessOutcome outcome = cli(arguments);
        EXPECT_EQ(outcome.exitCode, Success);
        EXPECT_EQ(outcome.out.find_first_of("\x1B\r"), std::string::npos);
        EXPECT_NE(outcome.out.find("evil\\x1B[2J\\x0Dname.txt\n"), std::string::npos) << outcome.out;
    }
    EXPECT_EQ(cli({"list", "hostile.zip"}).out, "evil\\x1B[2J\\x0Dname.txt\nplain.txt\n");
}

TEST_F(Cli, UsageErrorsExitTenWithOneLineAndTheHint)
{
    const std::vector<std::vector<std::string>> table = {{},
                                                         {"bogus"},
                                                         {"list", "-x", "a.zip"},
                                                         {"add", "made.zip"},
                                                         {"extract", "-d"},
                                                         {"add", "-9", "a.zip", "f"}};
    for (const std::vector<std::string>& arguments : table) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        ProcessOutcome outcome = cli(arguments);
        EXPECT_EQ(outcome.exitCode, BadArgument);
        EXPECT_EQ(outcome.out, "");
        std::vector<std::string> lines = linesOf(outcome.err);
        ASSERT_EQ(lines.size(), 2u) << outcome.err;
        EXPECT_TRUE(lines[0].starts_with("quarvo-cli: ")) << lines[0];
        EXPECT_EQ(lines[1], "Try 'quarvo-cli --help' for more information.");
    }
    EXPECT_FALSE(exists("made.zip"));

    ProcessOutcome help = cli({"--help"});
    EXPECT_EQ(help.exitCode, Success);
    EXPECT_TRUE(help.out.starts_with("Usage: quarvo-cli")) << help.out;
    EXPECT_EQ(help.err, "");
}

TEST_F(Cli, ForeignArchiveVariantsListTestAndExtract)
{
    // A stub joined with cat; ZIP64 records for small files (-fz); data from standard input written
    // to a pipe (ZIP64 records and 24-byte descriptors); a name in code page 437 with a matching
    // Info-ZIP Unicode path field.
    ASSERT_EQ(tool("zip", {"-q", "-r", "plain.zip", "docs", "data.bin"}).exitCode, 0);
    writeFile(m_dir.file("joined.zip"), std::string(5000, 'M') + read("plain.zip"));
    ASSERT_EQ(tool("zip", {"-q", "-r", "-fz", "forced.zip", "docs", "data.bin"}).exitCode, 0);
    ASSERT_EQ(tool("sh", {"-c", "zip -q - - < data.bin | cat > piped.zip"}).exitCode, 0);
    ZipBuilder builder;
    ZipBuilder::Entry entry = ZipBuilder::stored("caf\x82.txt", "unicode\n");
    entry.extra = std::string("up", 2);
    const std::string utf8 = "\xe2\x82\xac-caf\xc3\xa9.txt";
    putLE16(entry.extra, static_cast<uint32_t>(5 + utf8.size()));
    entry.extra += '\x01';
    putLE32(entry.extra, crc32Of(entry.name));
    entry.extra += utf8;
    builder.add(entry);
    writeFile(m_dir.file("unicode.zip"), builder.finish());

    for (const std::string archive : {"joined.zip", "forced.zip"}) {
        EXPECT_EQ(listed(archive), (std::set<std::string>{"docs/", "docs/readme.txt", "docs/sub/",
                                                          "docs/sub/name with space.txt", "data.bin"}))
            << archive;
        expectSuccess({"test", archive});
        expectSuccess({"extract", "-d", "out-" + archive, archive});
        EXPECT_EQ(read("out-" + archive + "/docs/readme.txt"), m_text) << archive;
        EXPECT_EQ(read("out-" + archive + "/data.bin"), m_binary) << archive;
    }
    EXPECT_EQ(listed("piped.zip"), std::set<std::string>{"-"});
    expectSuccess({"test", "piped.zip"});
    expectSuccess({"extract", "-d", "out-piped", "piped.zip"});
    EXPECT_EQ(read("out-piped/-"), m_binary);
    EXPECT_EQ(listed("unicode.zip"), std::set<std::string>{utf8});
    expectSuccess({"test", "unicode.zip"});
    expectSuccess({"extract", "-d", "out-unicode", "unicode.zip"});
    EXPECT_EQ(read("out-unicode/" + utf8), "unicode\n");
}

} // namespace
} // namespace quarvo::testing
