// Archives that need ZIP64 records, written by quarvo-cli, against the real tools: Info-ZIP's unzip
// and 7-Zip test them, Python's zipfile tests and lists them, bsdtar lists them, and quarvo-cli
// lists them as Python does. Big files are sparse, so they cost time but no disk.

#include "ToolListing.h"

#include "support/ProcessRunner.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace quarvo::testing {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t FourGiB = 1ull << 32;

class CliZip64Interop : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolsInstalled({"unzip", "7z", "bsdtar", "python3"}))
            GTEST_SKIP() << "unzip, 7z, bsdtar or python3 is not installed";
    }

    ProcessOutcome cli(const std::vector<std::string>& arguments)
    {
        return runProcess(QUARVO_CLI_PATH, arguments, m_dir.path());
    }
    ProcessOutcome shell(const std::string& command) { return runProcess("sh", {"-c", command}, m_dir.path()); }

    void sparseFile(const std::string& relative, uint64_t size)
    {
        writeFile(m_dir.file(relative), "");
        fs::resize_file(m_dir.file(relative), size);
    }

    // Every tool accepts the archive and lists the same entries; returns Python's listing.
    std::vector<ListedEntry> expectEveryToolAgrees(const std::string& archive, const std::string& password = {})
    {
        SCOPED_TRACE(archive);
        const std::string unzipPassword = password.empty() ? "" : " -P '" + password + "'";
        ProcessOutcome unzipTest = shell("unzip -tq" + unzipPassword + " '" + archive + "'");
        EXPECT_EQ(unzipTest.exitCode, 0) << unzipTest.out << unzipTest.err;
        ProcessOutcome sevenTest = shell("7z t -p'" + password + "' '" + archive + "'");
        EXPECT_EQ(sevenTest.exitCode, 0) << sevenTest.out << sevenTest.err;

        std::vector<std::string> arguments = {"-c", pythonListingScript(), archive};
        if (!password.empty())
            arguments.push_back(password);
        ProcessOutcome python = runProcess("python3", arguments, m_dir.path());
        EXPECT_EQ(python.exitCode, 0) << "python zipfile rejects " << archive << "\n" << python.err;
        const std::vector<ListedEntry> listed = parsePythonListing(python.out);
        EXPECT_FALSE(listed.empty());

        ProcessOutcome bsdtar = shell("bsdtar -tf '" + archive + "'");
        EXPECT_EQ(bsdtar.exitCode, 0) << bsdtar.err;
        std::vector<std::string> bsdtarNames, pythonNames;
        std::istringstream lines(bsdtar.out);
        for (std::string line; std::getline(lines, line);)
            bsdtarNames.push_back(line);
        for (const ListedEntry& entry : listed)
            pythonNames.push_back(entry.name);
        std::sort(bsdtarNames.begin(), bsdtarNames.end());
        EXPECT_EQ(bsdtarNames, pythonNames);

        ProcessOutcome ours = cli({"list", "-v", archive});
        EXPECT_EQ(ours.exitCode, 0) << ours.err;
        const std::vector<ListedEntry> oursListed = parseQuarvoTable(ours.out);
        EXPECT_EQ(oursListed, listed) << "quarvo-cli:\n" << describe(oursListed) << "python:\n" << describe(listed);
        return listed;
    }

    void expectEncryptedZip64EntryRoundTrips(const std::vector<std::string>& cipher, bool unzipReads);

    ScopedEnvironment m_locale{"LC_ALL", "C.UTF-8"};
    TemporaryDirectory m_dir;
};

// A file of 5 GiB is streamed: its local header makes room for the ZIP64 sizes before they are known.
TEST_F(CliZip64Interop, FiveGiBFileRoundTripsThroughEveryTool)
{
    sparseFile("big.bin", 5 * FourGiB / 4);
    writeFile(m_dir.file("after.txt"), "after the big one\n");
    ProcessOutcome added = cli({"add", "-1", "big.zip", "big.bin", "after.txt"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_LT(fs::file_size(m_dir.file("big.zip")), 64u << 20);
    const std::vector<ListedEntry> listed = expectEveryToolAgrees("big.zip");
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1].name, "big.bin");
    EXPECT_EQ(listed[1].size, 5 * FourGiB / 4);
}

// A streamed encrypted entry of 4 GiB, then copied as it is when another file is added: unzip
// (which reads no AES), 7-Zip and quarvo-cli test both, and bsdtar lists them.
void CliZip64Interop::expectEncryptedZip64EntryRoundTrips(const std::vector<std::string>& cipher, bool unzipReads)
{
    sparseFile("big.bin", FourGiB);
    writeFile(m_dir.file("small.txt"), "small\n");
    std::vector<std::string> arguments = {"add", "-1", "-p", "secret", "big.zip", "big.bin"};
    arguments.insert(arguments.begin() + 1, cipher.begin(), cipher.end());
    ProcessOutcome added = cli(arguments);
    ASSERT_EQ(added.exitCode, 0) << added.err;
    arguments.back() = "small.txt";
    added = cli(arguments);
    ASSERT_EQ(added.exitCode, 0) << added.err;
    if (unzipReads) {
        ProcessOutcome unzipTest = shell("unzip -tq -P secret big.zip");
        EXPECT_EQ(unzipTest.exitCode, 0) << unzipTest.out << unzipTest.err;
    }
    ProcessOutcome sevenTest = shell("7z t -psecret big.zip");
    EXPECT_EQ(sevenTest.exitCode, 0) << sevenTest.out << sevenTest.err;
    ProcessOutcome bsdtar = shell("bsdtar -tf big.zip");
    EXPECT_EQ(bsdtar.out, "big.bin\nsmall.txt\n") << bsdtar.err;
    ProcessOutcome ours = cli({"test", "-p", "secret", "big.zip"});
    EXPECT_EQ(ours.exitCode, 0) << ours.out << ours.err;
}

// The traditional cipher's streamed entry announces a data descriptor; after a local ZIP64 field
// it carries 8-byte sizes.
TEST_F(CliZip64Interop, TraditionallyEncryptedEntryOf4GiBCarriesA64BitDescriptor)
{
    expectEncryptedZip64EntryRoundTrips({"--zipcrypto"}, true);
}

// An AES entry's local header carries the ZIP64 field before the AES field.
TEST_F(CliZip64Interop, AesEncryptedEntryOf4GiBRoundTrips)
{
    expectEncryptedZip64EntryRoundTrips({}, false);
}

// 70,000 entries are more than the end record's 16-bit count holds.
TEST_F(CliZip64Interop, SeventyThousandEntriesRoundTripThroughEveryTool)
{
    for (int directory = 0; directory < 70; ++directory) {
        const fs::path path = m_dir.path() / "tree" / ("d" + std::to_string(directory));
        fs::create_directories(path);
        for (int file = 0; file < 1000; ++file)
            writeFile(path / ("f" + std::to_string(file)), file % 100 == 0 ? "some data\n" : "");
    }
    ProcessOutcome added = cli({"add", "-r", "tree.zip", "tree"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(expectEveryToolAgrees("tree.zip").size(), 70071u);
    ProcessOutcome tested = cli({"test", "tree.zip"});
    EXPECT_EQ(tested.exitCode, 0) << tested.err;
}

// Stored, the big file puts the entry after it past 4 GiB, and the directory with it.
TEST_F(CliZip64Interop, EntryPast4GiBRoundTripsThroughEveryTool)
{
    sparseFile("a.bin", FourGiB + (1 << 20));
    writeFile(m_dir.file("z.txt"), "far away\n");
    ProcessOutcome added = cli({"add", "-0", "far.zip", "a.bin", "z.txt"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_GT(fs::file_size(m_dir.file("far.zip")), FourGiB);
    EXPECT_EQ(expectEveryToolAgrees("far.zip").size(), 2u);
    EXPECT_EQ(shell("unzip -p far.zip z.txt").out, "far away\n");
}

} // namespace
} // namespace quarvo::testing
