// quarvo-cli convert and repair, and the Linux self-extractor they make, run as a user would, with
// Info-ZIP unzip and 7-Zip as the independent readers.

#include "support/ProcessRunner.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace quarvo::testing {
namespace {

namespace fs = std::filesystem;

constexpr int Success = 0;
constexpr int CannotOpenArchive = 3;
constexpr int CannotCreate = 5;
constexpr int CrcError = 7;
constexpr int EntriesSkipped = 11;

std::map<std::string, std::string> treeContents(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        if (item.is_regular_file())
            files[fs::relative(item.path(), root).generic_string()] = readFile(item.path());
    }
    return files;
}

class CliConvert : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolsInstalled({"zip", "unzip", "7z"}))
            GTEST_SKIP() << "zip, unzip and 7z are needed";
        writeFile(m_dir.path() / "tree" / "Long Directory" / "a file.text", std::string(20000, 'a'));
        writeFile(m_dir.path() / "tree" / "binary.bin", randomBytes(70000, 4));
        writeFile(m_dir.path() / "tree" / "empty", "");
        ASSERT_EQ(tool("sh", {"-c", "cd tree && zip -q -r ../tree.zip ."}).exitCode, 0);
    }

    ProcessOutcome cli(const std::vector<std::string>& arguments)
    {
        return runProcess(QUARVO_CLI_PATH, arguments, m_dir.path());
    }
    ProcessOutcome tool(const std::string& program, const std::vector<std::string>& arguments)
    {
        return runProcess(program, arguments, m_dir.path());
    }
    void expectReadersAccept(const std::string& archive)
    {
        ProcessOutcome unzip = tool("unzip", {"-t", archive});
        EXPECT_EQ(unzip.exitCode, 0) << archive << "\n" << unzip.out << unzip.err;
        ProcessOutcome sevenZip = tool("7z", {"t", "-tzip", archive});
        EXPECT_EQ(sevenZip.exitCode, 0) << archive << "\n" << sevenZip.out << sevenZip.err;
        ProcessOutcome ours = cli({"test", archive});
        EXPECT_EQ(ours.exitCode, Success) << archive << "\n" << ours.err;
    }
    // Converts the archive into a Linux self-extractor named NAME.run and returns its path.
    std::string selfExtractor(const std::string& archive, const std::string& name)
    {
        const std::string run = m_dir.file(name + ".run");
        ProcessOutcome made = cli({"convert", "--to", "linux", archive, run});
        EXPECT_EQ(made.exitCode, Success) << made.err;
        return run;
    }

    TemporaryDirectory m_dir;
};

TEST_F(CliConvert, EveryFormIsReadByEveryReaderAndBackToZipKeepsTheEntries)
{
    for (const char* form : {"dos", "windows", "linux", "zip"}) {
        const std::string out = m_dir.file(std::string("out-") + form);
        ProcessOutcome made = cli({"convert", "--to", form, "tree.zip", out});
        ASSERT_EQ(made.exitCode, Success) << form << "\n" << made.err;
        EXPECT_EQ(made.out, "");
        expectReadersAccept(out);
        ProcessOutcome back = cli({"convert", "--to=zip", out, out + ".zip"});
        ASSERT_EQ(back.exitCode, Success) << back.err;
        ProcessOutcome extracted = cli({"extract", "-d", "x-" + std::string(form), out + ".zip"});
        ASSERT_EQ(extracted.exitCode, Success) << extracted.err;
        std::map<std::string, std::string> original = treeContents(m_dir.path() / "tree");
        std::map<std::string, std::string> result = treeContents(m_dir.path() / ("x-" + std::string(form)));
        EXPECT_EQ(result.size(), original.size()) << form;
        // Short names in the DOS and Windows forms, so compare the contents only.
        std::multiset<std::string> originalData, resultData;
        for (const auto& [name, data] : original)
            originalData.insert(data);
        for (const auto& [name, data] : result)
            resultData.insert(data);
        EXPECT_EQ(resultData, originalData) << form;
    }
}

TEST_F(CliConvert, FailuresExitWithTheirResultAndLeaveNoFile)
{
    ProcessOutcome missing = cli({"convert", "--to", "dos", "missing.zip", "out.exe"});
    EXPECT_EQ(missing.exitCode, CannotOpenArchive);
    EXPECT_NE(missing.err.find("missing.zip"), std::string::npos) << missing.err;
    ProcessOutcome nowhere = cli({"convert", "--to", "dos", "tree.zip", "no/such/dir/out.exe"});
    EXPECT_EQ(nowhere.exitCode, CannotCreate) << nowhere.err;
    EXPECT_FALSE(fs::exists(m_dir.file("out.exe")));
}

TEST_F(CliConvert, TheLinuxSelfExtractorExtractsByteForByteAnywhere)
{
    const std::string run = selfExtractor("tree.zip", "tree");
    EXPECT_EQ(fs::status(run).permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
    expectReadersAccept(run);
    // Run from another directory, into a directory that does not exist yet.
    fs::create_directories(m_dir.path() / "elsewhere");
    ProcessOutcome extracted = runProcess(run, {"-d", "unpacked"}, m_dir.path() / "elsewhere");
    ASSERT_EQ(extracted.exitCode, Success) << extracted.err;
    EXPECT_EQ(treeContents(m_dir.path() / "elsewhere" / "unpacked"), treeContents(m_dir.path() / "tree"));
    ProcessOutcome listed = runProcess(run, {"-l"}, m_dir.path());
    EXPECT_EQ(listed.exitCode, Success);
    EXPECT_NE(listed.out.find("Long Directory/a file.text"), std::string::npos) << listed.out;
    ProcessOutcome tested = runProcess(run, {"-t"}, m_dir.path());
    EXPECT_EQ(tested.exitCode, Success) << tested.err;
    // Adding to it later keeps the program in front, and its mode: it still extracts, the new file too.
    writeFile(m_dir.file("added.txt"), "added later\n");
    ASSERT_EQ(cli({"add", run, "added.txt"}).exitCode, Success);
    expectReadersAccept(run);
    ProcessOutcome again = runProcess(run, {"-d", "again"}, m_dir.path() / "elsewhere");
    ASSERT_EQ(again.exitCode, Success) << again.err;
    EXPECT_EQ(readFile(m_dir.path() / "elsewhere" / "again" / "added.txt"), "added later\n");
    ProcessOutcome wrong = runProcess(run, {"-x"}, m_dir.path());
    EXPECT_EQ(wrong.exitCode, 10);
    EXPECT_NE(wrong.err.find("unknown option '-x'"), std::string::npos) << wrong.err;
}

TEST_F(CliConvert, TheLinuxSelfExtractorRefusesTraversalAndFailsOnACrcError)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("../escaped.txt", "out of bounds"));
    builder.add(ZipBuilder::stored("/absolute.txt", "rooted"));
    builder.add(ZipBuilder::stored("inside.txt", "kept"));
    writeFile(m_dir.file("hostile.zip"), builder.finish());
    ZipBuilder damaged;
    ZipBuilder::Entry entry = ZipBuilder::stored("damaged.txt", "these bytes do not match their CRC");
    entry.crc32 ^= 1;
    damaged.add(entry);
    writeFile(m_dir.file("damaged.zip"), damaged.finish());

    const std::string hostile = selfExtractor("hostile.zip", "hostile");
    fs::create_directories(m_dir.path() / "jail" / "inner");
    ProcessOutcome refused = runProcess(hostile, {"-d", "inner"}, m_dir.path() / "jail");
    EXPECT_EQ(refused.exitCode, EntriesSkipped) << refused.err;
    EXPECT_EQ(treeContents(m_dir.path() / "jail"),
              (std::map<std::string, std::string>{{"inner/inside.txt", "kept"}}));
    EXPECT_FALSE(fs::exists("/absolute.txt") && readFile("/absolute.txt") == "rooted");

    const std::string broken = selfExtractor("damaged.zip", "damaged");
    fs::create_directories(m_dir.path() / "crc");
    ProcessOutcome crc = runProcess(broken, {}, m_dir.path() / "crc");
    EXPECT_EQ(crc.exitCode, CrcError) << crc.err;
    EXPECT_TRUE(fs::is_empty(m_dir.path() / "crc"));
    EXPECT_EQ(runProcess(broken, {"-t"}, m_dir.path()).exitCode, CrcError);
}

TEST_F(CliConvert, RepairRebuildsTruncatedAndDamagedArchives)
{
    const std::string archive = readFile(m_dir.file("tree.zip"));
    const size_t directory =
        archive.rfind(std::string("PK\x01\x02", 4), archive.rfind(std::string("PK\x05\x06", 4)));
    ASSERT_NE(directory, std::string::npos);
    // A download cut inside the directory; a directory overwritten with garbage; an archive
    // streamed by zip with ZIP64 data descriptors whose directory zip left inconsistent.
    writeFile(m_dir.file("truncated.zip"), archive.substr(0, archive.size() - 40));
    std::string garbled = archive;
    for (size_t i = archive.find(std::string("PK\x01\x02", 4)); i < directory + 20; ++i)
        garbled[i] = 'G';
    writeFile(m_dir.file("garbled.zip"), garbled);
    ASSERT_EQ(tool("sh", {"-c", "cd tree && zip -q -r -fz - . | cat > ../streamed.zip"}).exitCode, 0);
    for (const char* name : {"truncated.zip", "garbled.zip", "streamed.zip"}) {
        ProcessOutcome repaired = cli({"repair", name});
        EXPECT_EQ(repaired.exitCode, Success) << name << "\n" << repaired.err;
        EXPECT_NE(repaired.err.find(std::string("Fixed ") + name + "."), std::string::npos) << repaired.err;
        expectReadersAccept(m_dir.file(name));
        ASSERT_EQ(cli({"extract", "-d", std::string("x-") + name, name}).exitCode, Success);
        EXPECT_EQ(treeContents(m_dir.path() / (std::string("x-") + name)),
                  treeContents(m_dir.path() / "tree"));
    }
    writeFile(m_dir.file("noise.zip"), randomBytes(5000, 9));
    ProcessOutcome hopeless = cli({"repair", "noise.zip"});
    EXPECT_NE(hopeless.exitCode, Success);
    EXPECT_NE(hopeless.err.find("Unable to Fix noise.zip."), std::string::npos) << hopeless.err;
    EXPECT_EQ(readFile(m_dir.file("noise.zip")), randomBytes(5000, 9));
}

} // namespace
} // namespace quarvo::testing
