// quarvo-cli against the real tools: Info-ZIP zip and unzip, 7-Zip, bsdtar and Python's zipfile.
// Archives we write must pass every tool's test and list the same way in each; archives they write
// must list, test and extract here as they do in Info-ZIP's unzip. The engine tests cover the plain
// extraction of each tool's archives; these cover what a user of the command line sees.

#include "ToolListing.h"

#include "support/ProcessRunner.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

namespace quarvo::testing {
namespace {

namespace fs = std::filesystem;

std::string sourceText(int lines)
{
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "    int value" + std::to_string(i % 97) + " = compute(" + std::to_string(i) + ");\n";
    return text;
}

// Every file, directory and link under root: a file by its size and CRC, a directory as "dir/", a
// link as "-> TARGET"; for comparing two extractions.
std::map<std::string, std::string> snapshot(const fs::path& root)
{
    std::map<std::string, std::string> tree;
    if (!fs::exists(root))
        return tree;
    for (const fs::directory_entry& item : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(item.path(), root).string();
        if (item.is_symlink()) {
            tree[relative] = "-> " + fs::read_symlink(item.path()).string();
        } else if (item.is_directory()) {
            tree[relative + "/"] = "";
        } else {
            const std::string bytes = readFile(item.path());
            tree[relative] = std::to_string(bytes.size()) + " bytes, CRC " + std::to_string(crc32Of(bytes));
        }
    }
    return tree;
}

class CliInterop : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolsInstalled({"zip", "unzip", "7z", "bsdtar", "python3"}))
            GTEST_SKIP() << "zip, unzip, 7z, bsdtar or python3 is not installed";
        writeFile(m_dir.file("src/main.cpp"), sourceText(3000));
        writeFile(m_dir.file("src/data.bin"), randomBytes(70000, 11));
        writeFile(m_dir.file("src/empty.txt"), "");
        writeFile(m_dir.file("src/sub/deep.txt"), "deep\n");
        writeFile(m_dir.file("src/n\xC3\xA4me \xE2\x82\xAC.txt"), "utf-8 name\n"); // "näme €.txt"
        fs::create_directories(m_dir.file("src/emptydir"));
    }

    ProcessOutcome cli(const std::vector<std::string>& arguments)
    {
        return runProcess(QUARVO_CLI_PATH, arguments, m_dir.path());
    }
    ProcessOutcome shell(const std::string& command)
    {
        return runProcess("sh", {"-c", command}, m_dir.path());
    }
    void cliSucceeds(const std::vector<std::string>& arguments)
    {
        ProcessOutcome outcome = cli(arguments);
        ASSERT_EQ(outcome.exitCode, 0) << ::testing::PrintToString(arguments) << "\n" << outcome.err;
    }
    void shellSucceeds(const std::string& command)
    {
        ProcessOutcome outcome = shell(command);
        ASSERT_EQ(outcome.exitCode, 0) << command << "\n" << outcome.out << outcome.err;
    }

    std::vector<ListedEntry> listedByQuarvo(const std::string& archive)
    {
        ProcessOutcome outcome = cli({"list", "-v", archive});
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        return parseQuarvoTable(outcome.out);
    }
    std::vector<ListedEntry> listedByPython(const std::string& archive, const std::string& password = {})
    {
        std::vector<std::string> arguments = {"-c", pythonListingScript(), archive};
        if (!password.empty())
            arguments.push_back(password);
        ProcessOutcome outcome = runProcess("python3", arguments, m_dir.path());
        EXPECT_EQ(outcome.exitCode, 0) << "python zipfile rejects " << archive << "\n" << outcome.err;
        return parsePythonListing(outcome.out);
    }

    // unzip -t, 7z t and Python's testzip accept the archive, and unzip, 7-Zip, Python and
    // quarvo-cli all list the same names, sizes and CRCs.
    void expectEveryToolAgrees(const std::string& archive, const std::string& password = {})
    {
        SCOPED_TRACE(archive);
        const std::string unzipPassword = password.empty() ? "" : " -P '" + password + "'";
        const std::string sevenPassword = " -p'" + password + "'";
        ProcessOutcome unzipTest = shell("unzip -tq" + unzipPassword + " '" + archive + "'");
        EXPECT_EQ(unzipTest.exitCode, 0) << unzipTest.out << unzipTest.err;
        ProcessOutcome sevenTest = shell("7z t" + sevenPassword + " '" + archive + "'");
        EXPECT_EQ(sevenTest.exitCode, 0) << sevenTest.out << sevenTest.err;

        const std::vector<ListedEntry> python = listedByPython(archive, password);
        ASSERT_FALSE(python.empty());
        const std::vector<ListedEntry> unzip = parseUnzipVerbose(shell("unzip -v '" + archive + "'").out);
        const std::vector<ListedEntry> seven =
            parseSevenZipTechnical(shell("7z l -slt '" + archive + "'").out);
        const std::vector<ListedEntry> ours = listedByQuarvo(archive);
        EXPECT_EQ(unzip, python) << "unzip:\n" << describe(unzip) << "python:\n" << describe(python);
        EXPECT_EQ(seven, python) << "7z:\n" << describe(seven) << "python:\n" << describe(python);
        EXPECT_EQ(ours, python) << "quarvo-cli:\n" << describe(ours) << "python:\n" << describe(python);
    }

    std::vector<std::string> namesIn(const std::string& archive)
    {
        std::vector<std::string> names;
        for (const ListedEntry& entry : listedByPython(archive))
            names.push_back(entry.name);
        return names;
    }

    void touchAfter(const std::string& relative, const std::string& contents, int hours)
    {
        writeFile(m_dir.file(relative), contents);
        fs::last_write_time(m_dir.file(relative),
                            fs::file_time_type::clock::now() + std::chrono::hours(hours));
    }

    // The tools print non-ASCII names only in a UTF-8 locale.
    ScopedEnvironment m_locale{"LC_ALL", "C.UTF-8"};
    TemporaryDirectory m_dir;
};

TEST_F(CliInterop, EveryLevelWeWriteIsAcceptedAndListedAlikeByEveryTool)
{
    for (int level = 0; level <= 8; ++level) {
        const std::string archive = "level" + std::to_string(level) + ".zip";
        cliSucceeds({"add", "-r", "-" + std::to_string(level), archive, "src"});
        expectEveryToolAgrees(archive);
    }
    EXPECT_EQ(
        namesIn("level5.zip"),
        (std::vector<std::string>{"src/", "src/data.bin", "src/empty.txt", "src/emptydir/", "src/main.cpp",
                                  "src/n\xC3\xA4me \xE2\x82\xAC.txt", "src/sub/", "src/sub/deep.txt"}));
    EXPECT_LT(fs::file_size(m_dir.file("level8.zip")), fs::file_size(m_dir.file("level0.zip")));
}

TEST_F(CliInterop, EncryptedArchivesWeWriteOpenWithThePasswordInEveryTool)
{
    for (const std::string level : {"-0", "-5"}) {
        const std::string archive = "secret" + level + ".zip";
        cliSucceeds({"add", "-r", level, "--zipcrypto", "-p", "pass word", archive, "src"});
        expectEveryToolAgrees(archive, "pass word");
        EXPECT_NE(shell("unzip -tq -P wrong '" + archive + "'").exitCode, 0);
        EXPECT_NE(shell("7z t -pwrong '" + archive + "'").exitCode, 0);
    }
}

TEST_F(CliInterop, ArchivesStayValidAfterUpdateFreshenDeleteAndMove)
{
    cliSucceeds({"add", "-r", "a.zip", "src"});
    expectEveryToolAgrees("a.zip");

    touchAfter("src/main.cpp", sourceText(10), 2);
    touchAfter("src/new.txt", "not in the archive yet\n", 2);
    cliSucceeds({"add", "--freshen", "-r", "a.zip", "src"});
    expectEveryToolAgrees("a.zip");
    EXPECT_EQ(shell("unzip -p a.zip src/main.cpp").out, sourceText(10));
    EXPECT_EQ(shell("unzip -l a.zip src/new.txt").exitCode, 11) << "freshen must not add new files";

    cliSucceeds({"add", "--update", "-r", "a.zip", "src"});
    expectEveryToolAgrees("a.zip");
    EXPECT_EQ(shell("unzip -p a.zip src/new.txt").out, "not in the archive yet\n");

    cliSucceeds({"delete", "a.zip", "src/data.bin", "src/sub/*"});
    expectEveryToolAgrees("a.zip");
    EXPECT_EQ(namesIn("a.zip"),
              (std::vector<std::string>{"src/", "src/empty.txt", "src/emptydir/", "src/main.cpp",
                                        "src/new.txt", "src/n\xC3\xA4me \xE2\x82\xAC.txt"}));

    writeFile(m_dir.file("moved.bin"), randomBytes(5000, 3));
    cliSucceeds({"add", "--move", "a.zip", "moved.bin"});
    expectEveryToolAgrees("a.zip");
    EXPECT_FALSE(fs::exists(m_dir.file("moved.bin")));
    EXPECT_EQ(shell("unzip -p a.zip moved.bin").out, randomBytes(5000, 3));
}

TEST_F(CliInterop, SelfExtractorKeepsItsStubWhenAddedTo)
{
    const std::string stub = "MZ" + randomBytes(3000, 5);
    cliSucceeds({"add", "plain.zip", "src/main.cpp"});
    writeFile(m_dir.file("setup.exe"), stub + readFile(m_dir.file("plain.zip")));
    shellSucceeds("zip -qA setup.exe"); // makes the offsets count from the start of the file
    cliSucceeds({"add", "-j", "setup.exe", "src/sub/deep.txt"});
    EXPECT_EQ(readFile(m_dir.file("setup.exe")).substr(0, stub.size()), stub);
    expectEveryToolAgrees("setup.exe");
    EXPECT_EQ(namesIn("setup.exe"), (std::vector<std::string>{"deep.txt", "src/main.cpp"}));
}

// An archive another tool made from src/.
struct ForeignArchive {
    std::string producer;
    std::string command; // run in the test directory, writes theirs.zip
    std::string password;
};

// unzip is the reference for names: Info-ZIP's zip in a UTF-8 locale stores "näme €.txt" as UTF-8
// without flag bit 11, which unzip (and we) read as UTF-8 and Python's zipfile as code page 437.
TEST_F(CliInterop, ArchivesOtherToolsWriteListTestAndExtractAsInUnzip)
{
    const std::vector<ForeignArchive> table = {
        {"Info-ZIP", "zip -qr theirs.zip src", ""},
        {"Info-ZIP -9 with a comment", "zip -qr -9 -z theirs.zip src <<'E'\nline one\nline two\nE", ""},
        {"7-Zip deflate", "7z a -tzip -mm=Deflate theirs.zip src >/dev/null", ""},
        {"bsdtar", "bsdtar --format zip -cf theirs.zip src", ""},
        {"Python zipfile",
         "python3 -c \"import zipfile, os\nwith zipfile.ZipFile('theirs.zip', 'w', zipfile.ZIP_DEFLATED) as "
         "z:\n"
         "  for d, ds, fs in os.walk('src'):\n    z.write(d)\n    [z.write(os.path.join(d, f)) for f in "
         "fs]\"",
         ""},
        {"zip -P", "zip -qr -P 'pa ss' theirs.zip src", "pa ss"},
        // Written to a pipe, zip cannot seek back: sizes and CRCs follow the data in descriptors.
        {"zip to standard output", "zip -qr - src | cat > theirs.zip", ""},
        // Data before the archive with offsets fixed by zip -A: a self-extractor.
        {"self-extractor",
         "zip -qr inner.zip src && { printf 'MZ'; seq 1000; cat inner.zip; } > theirs.zip && "
         "zip -qA theirs.zip",
         ""},
    };
    for (const ForeignArchive& row : table) {
        SCOPED_TRACE(row.producer);
        fs::remove(m_dir.file("theirs.zip"));
        fs::remove_all(m_dir.file("ours"));
        fs::remove_all(m_dir.file("unzips"));
        fs::remove(m_dir.file("inner.zip"));
        shellSucceeds(row.command);

        const std::vector<ListedEntry> ours = listedByQuarvo("theirs.zip");
        const std::vector<ListedEntry> unzip = parseUnzipVerbose(shell("unzip -v theirs.zip").out);
        EXPECT_EQ(ours, unzip) << "quarvo-cli:\n" << describe(ours) << "unzip:\n" << describe(unzip);

        std::vector<std::string> password;
        if (!row.password.empty())
            password = {"-p", row.password};
        std::vector<std::string> test = {"test"};
        test.insert(test.end(), password.begin(), password.end());
        test.push_back("theirs.zip");
        ProcessOutcome tested = cli(test);
        EXPECT_EQ(tested.exitCode, 0) << tested.err;

        std::vector<std::string> extract = {"extract", "-d", "ours"};
        extract.insert(extract.end(), password.begin(), password.end());
        extract.push_back("theirs.zip");
        cliSucceeds(extract);
        shellSucceeds("unzip -q -P '" + row.password + "' theirs.zip -d unzips");
        EXPECT_EQ(snapshot(m_dir.file("ours")), snapshot(m_dir.file("unzips")));
    }
}

// A hostile archive, the message quarvo-cli must print for it, and what it may leave in the
// destination besides good.txt, the harmless entry most of them carry.
struct HostileArchive {
    std::string what;
    std::string bytes;
    std::string message;
    bool listable = true;
    // Links are refused only when extracting: testing checks data, and a link's data is sound.
    bool testFails = true;
    std::set<std::string> alsoInDestination = {};
};

ZipBuilder::Entry linkEntry(std::string name, std::string target)
{
    ZipBuilder::Entry entry = ZipBuilder::stored(std::move(name), std::move(target));
    entry.externalAttributes = (0120000u | 0777u) << 16;
    return entry;
}

// On Windows "\\" separates directories; on Unix it is part of a file name.
ZipBuilder::Entry madeOnWindows(ZipBuilder::Entry entry)
{
    entry.versionMadeBy = 0x0A3F; // NTFS, 6.3
    return entry;
}

class CliHostile : public CliInterop {
  protected:
    // Everything in the test directory except the destination, which must not change whatever
    // the archive holds.
    std::map<std::string, std::string> outsideDestination()
    {
        std::map<std::string, std::string> tree = snapshot(m_dir.path());
        std::erase_if(tree, [](const auto& item) { return item.first.starts_with("dest/"); });
        return tree;
    }

    std::vector<HostileArchive> hostileArchives()
    {
        auto withGood = [](std::vector<ZipBuilder::Entry> entries) {
            ZipBuilder builder;
            for (ZipBuilder::Entry& entry : entries)
                builder.add(std::move(entry));
            builder.add(ZipBuilder::stored("good.txt", "good"));
            return builder.finish();
        };
        std::vector<HostileArchive> table = {
            {"traversal", withGood({ZipBuilder::stored("../escape.txt", "x")}), "../escape.txt"},
            {"deep traversal", withGood({ZipBuilder::stored("a/b/../../../escape.txt", "x")}), "escape.txt"},
            {"absolute name", withGood({ZipBuilder::stored(m_dir.file("absolute.txt"), "x")}),
             m_dir.file("absolute.txt")},
            {"backslash traversal", withGood({madeOnWindows(ZipBuilder::stored("..\\escape.txt", "x"))}),
             "escape.txt"},
            {"link out of the destination", withGood({linkEntry("up", "..")}), "up", true, false},
            {"absolute link", withGood({linkEntry("abs", m_dir.path().string())}), "abs", true, false},
            // The link is made last, so the file is written into a real directory, never through it.
            {"file through a link entry",
             withGood({linkEntry("via", ".."), ZipBuilder::stored("via/escape.txt", "x")}),
             "via",
             true,
             false,
             {"via/", "via/escape.txt"}},
        };

        ZipBuilder::Entry badCrc = ZipBuilder::stored("bad-crc.txt", "some data");
        badCrc.crc32 ^= 0x10;
        table.push_back({"wrong CRC", withGood({badCrc}), "bad-crc.txt: CRC error"});

        ZipBuilder::Entry lyingSize = ZipBuilder::stored("lying.txt", "twelve bytes");
        lyingSize.uncompressedSize = lyingSize.compressedSize = 4; // the data is longer
        table.push_back({"lying sizes", withGood({lyingSize}), "lying.txt"});

        ZipBuilder::Entry beyond = ZipBuilder::stored("beyond.txt", "short");
        beyond.compressedSize = beyond.uncompressedSize = 1u << 30; // more than the file holds
        table.push_back({"size beyond the file", withGood({beyond}), "beyond.txt"});

        ZipBuilder overlapping;
        overlapping.add(ZipBuilder::stored("first.txt", std::string(5000, 'A')));
        ZipBuilder::Entry again = overlapping.entries()[0];
        again.useCentralName = true;
        again.centralName = "second.txt";
        overlapping.entries().push_back(again); // a second central header for the same data
        table.push_back({"overlapping entries", overlapping.finish(), "zip bomb"});

        const std::string complete = withGood({ZipBuilder::stored("cut.txt", randomBytes(4000, 9))});
        table.push_back({"truncated archive", complete.substr(0, complete.size() / 2),
                         "The archive is truncated", false});
        return table;
    }
};

TEST_F(CliHostile, NothingIsWrittenOutsideTheDestinationAndEveryFailureIsReported)
{
    for (const HostileArchive& row : hostileArchives()) {
        SCOPED_TRACE(row.what);
        fs::remove_all(m_dir.file("dest"));
        fs::create_directories(m_dir.file("dest"));
        writeFile(m_dir.file("hostile.zip"), row.bytes);
        const std::map<std::string, std::string> before = outsideDestination();

        ProcessOutcome listed = cli({"list", "hostile.zip"});
        if (row.listable)
            EXPECT_EQ(listed.exitCode, 0) << listed.err;
        else
            EXPECT_GT(listed.exitCode, 0) << "and not a signal";

        std::vector<std::vector<std::string>> runs = {{"extract", "-d", "dest", "hostile.zip"},
                                                      {"extract", "-o", "-d", "dest", "hostile.zip"}};
        if (row.testFails)
            runs.push_back({"test", "hostile.zip"});
        for (const std::vector<std::string>& arguments : runs) {
            SCOPED_TRACE(::testing::PrintToString(arguments));
            ProcessOutcome outcome = cli(arguments);
            EXPECT_GT(outcome.exitCode, 0) << "a failure must not exit 0, nor end in a signal";
            EXPECT_NE(outcome.err.find(row.message), std::string::npos) << outcome.err;
            EXPECT_EQ(outcome.out, "");
        }
        EXPECT_EQ(outsideDestination(), before);
        for (const auto& [name, contents] : snapshot(m_dir.file("dest"))) {
            if (name == "good.txt")
                EXPECT_EQ(readFile(m_dir.file("dest/good.txt")), "good");
            else
                EXPECT_TRUE(row.alsoInDestination.contains(name)) << name << " was left in the destination";
        }
    }
}

} // namespace
} // namespace quarvo::testing
