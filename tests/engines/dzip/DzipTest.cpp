#include "DzipTestSupport.h"

#include "core/zip/ZipFormat.h"
#include "core/zip/ZipRecords.h"
#include "engines/api/EngineResult.h"
#include "engines/api/ZipCommand.h"
#include "engines/dzip/EntryEncoder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <random>
#include <zlib.h>

using namespace quarvo;
using namespace quarvo::testing;
namespace fs = std::filesystem;

namespace {

// Raw deflate of bytes by zlib at level, as other zip programs write it.
std::string zlibDeflate(const std::string& bytes, int level)
{
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, bytes.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

class DzipTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        source = work.path() / "src";
        fs::create_directories(source);
        archive = work.file("out.zip");
        allFiles = "\"" + (source / "*.*").string() + "\"";
    }

    uint16_t run(ZipCommand& command) { return dzip(&command); }

    uint16_t add(uint32_t function, const std::string& items, std::function<void(ZipCommand&)> adjust = {})
    {
        ZipCommand command = makeCommand(function, archive, items, record);
        if (adjust)
            adjust(command);
        return dzip(&command);
    }

    TemporaryDirectory work;
    fs::path source;
    std::string archive;
    std::string allFiles;
    EngineRecord record;
};

} // namespace

// One table over the four functions: what each does to an archive holding old.txt and keep.txt
// when the source directory holds a newer old.txt, an older keep.txt and a new new.txt.
TEST_F(DzipTest, FunctionsAddReplaceFreshenAndDeleteAsTheirTableSays)
{
    struct Case {
        uint32_t function;
        const char* items; // nullptr: every file of the source directory
        std::vector<std::string> names;
        std::vector<std::string> replaced;
    } cases[] = {
        {ZipFunction::Add, nullptr, {"keep.txt", "new.txt", "old.txt"}, {"keep.txt", "old.txt"}},
        {ZipFunction::Update, nullptr, {"keep.txt", "new.txt", "old.txt"}, {"old.txt"}},
        {ZipFunction::Freshen, nullptr, {"keep.txt", "old.txt"}, {"old.txt"}},
        {ZipFunction::Delete, "\"old.txt\"", {"keep.txt"}, {}},
        {ZipFunction::Delete, "\"*.TXT\"", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        fs::remove_all(source);
        fs::remove(archive);
        writeFile(source / "old.txt", "old contents");
        writeFile(source / "keep.txt", "kept contents");
        setModified(source / "old.txt", 1500000000);
        setModified(source / "keep.txt", 1600000000);
        ASSERT_EQ(add(ZipFunction::Add, allFiles), EngineResult::Ok);

        writeFile(source / "old.txt", "old contents, changed");
        writeFile(source / "keep.txt", "kept contents, but older");
        writeFile(source / "new.txt", "new");
        setModified(source / "old.txt", 1550000000);
        setModified(source / "keep.txt", 1590000000);
        ASSERT_EQ(add(c.function, c.items ? c.items : allFiles), EngineResult::Ok);

        const auto entries = listArchive(archive);
        std::vector<std::string> names;
        for (const ListedEntry& entry : entries) {
            names.push_back(entry.name);
            const bool replaced = std::count(c.replaced.begin(), c.replaced.end(), entry.name) > 0;
            const std::string onDisk = readFile(source / entry.name);
            if (entry.name == "new.txt" || replaced)
                EXPECT_EQ(entry.crc, crcOf(onDisk)) << entry.name;
            else
                EXPECT_NE(entry.crc, crcOf(onDisk)) << entry.name << " should keep its old data";
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.names);
        if (names.empty())
            EXPECT_EQ(fs::file_size(archive), 22u); // unzip -t calls an empty archive a warning
        else
            expectToolsAccept(archive);
    }
}

TEST_F(DzipTest, EveryLevelWritesArchivesTheToolsReadBack)
{
    writeFile(source / "text.txt", textData(300000, 1));
    writeFile(source / "random.bin", randomBytes(70000, 2)); // incompressible: stored
    writeFile(source / "empty", "");
    writeFile(source / "sub dir" / "n\xC3\xA4me \xE2\x82\xAC.txt", "utf-8 name");
    fs::create_directories(source / "emptydir");
    for (uint32_t level = 0; level <= 9; ++level) {
        SCOPED_TRACE(level);
        fs::remove(archive);
        ASSERT_EQ(add(ZipFunction::Add, allFiles,
                      [&](ZipCommand& c) {
                          c.compressionLevel = level;
                          c.recurse = 1;
                      }),
                  EngineResult::Ok);
        expectToolsAccept(archive);
        const auto entries = listArchive(archive);
        std::vector<ListedEntry> expected = {
            {"emptydir/", 0, 0},
            {"empty", 0, 0},
            {"random.bin", 70000, crcOf(readFile(source / "random.bin"))},
            {"sub dir/", 0, 0},
            {"sub dir/n\xC3\xA4me \xE2\x82\xAC.txt", 10, crcOf("utf-8 name")},
            {"text.txt", 300000, crcOf(readFile(source / "text.txt"))},
        };
        auto sorted = entries;
        std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.name < b.name; });
        std::sort(expected.begin(), expected.end(), [](auto& a, auto& b) { return a.name < b.name; });
        EXPECT_EQ(sorted, expected);
    }
    // Deflated text is much smaller than stored text; random data never grows.
    const std::string info = commandOutput("unzip -v '" + archive + "'");
    EXPECT_NE(info.find("Stored"), std::string::npos) << info;
    EXPECT_NE(info.find("Defl:X"), std::string::npos) << info;
}

TEST_F(DzipTest, EncryptedArchiveNeedsThePasswordInEveryTool)
{
    writeFile(source / "secret.txt", textData(50000, 3));
    writeFile(source / "noise.bin", randomBytes(5000, 4));
    writeFile(source / "samples.bin", skewedNoise(60000, 8)); // coded by Huffman codes alone
    ASSERT_EQ(add(ZipFunction::Add, allFiles,
                  [](ZipCommand& c) {
                      c.encrypt = 1;
                      c.password = "s3cr\xC3\xA9t";
                  }),
              EngineResult::Ok);
    expectToolsAccept(archive, "s3cr\xC3\xA9t");
    EXPECT_NE(std::system(("unzip -tq -P wrong '" + archive + "' >/dev/null 2>&1").c_str()), 0);
}

TEST_F(DzipTest, LargeFilesAreStreamedAndStillCheckOut)
{
    // Above the whole-file limit, so the streaming path with its header rewrite is taken, encrypted
    // too (data descriptor) and stored (level 0).
    writeFile(source / "big.txt", textData(17u << 20, 5));
    for (auto [level, encrypt] : {std::pair{5u, 0u}, {0u, 0u}, {5u, 1u}}) {
        fs::remove(archive);
        ASSERT_EQ(add(ZipFunction::Add, allFiles,
                      [&](ZipCommand& c) {
                          c.compressionLevel = level;
                          c.encrypt = encrypt;
                          c.password = encrypt ? "pw" : nullptr;
                      }),
                  EngineResult::Ok);
        expectToolsAccept(archive, encrypt ? "pw" : "");
        const auto entries = listArchive(archive, encrypt ? "pw" : "");
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].size, 17u << 20);
    }
}

TEST_F(DzipTest, CommentIsKeptSetOrRemoved)
{
    writeFile(source / "a.txt", "a");
    ASSERT_EQ(add(ZipFunction::Add, allFiles,
                  [](ZipCommand& c) {
                      c.commentGiven = 1;
                      c.comment = "first comment\r\nsecond line";
                  }),
              EngineResult::Ok);
    EXPECT_NE(commandOutput("unzip -z '" + archive + "'").find("second line"), std::string::npos);
    writeFile(source / "b.txt", "b");
    ASSERT_EQ(add(ZipFunction::Add, allFiles), EngineResult::Ok); // comment not given: kept
    EXPECT_NE(commandOutput("unzip -z '" + archive + "'").find("first comment"), std::string::npos);
    ASSERT_EQ(add(ZipFunction::Add, allFiles,
                  [](ZipCommand& c) {
                      c.commentGiven = 1;
                      c.comment = "";
                  }),
              EngineResult::Ok);
    EXPECT_EQ(commandOutput("unzip -z '" + archive + "'").find("first comment"), std::string::npos);
    expectToolsAccept(archive);
}

TEST_F(DzipTest, SelfExtractorStubIsKeptAndOffsetsStayAbsolute)
{
    writeFile(source / "a.txt", textData(1000, 6));
    const std::string plain = work.file("plain.zip");
    const std::string stub = "MZ" + randomBytes(998, 7);
    archive = work.file("setup.exe");
    ASSERT_EQ(add(ZipFunction::Add, allFiles), EngineResult::Ok);
    writeFile(archive, stub + readFile(archive));
    ASSERT_EQ(std::system(("zip -qA '" + archive + "' >/dev/null 2>&1").c_str()), 0); // offsets made absolute
    writeFile(source / "b.txt", "second file");
    ASSERT_EQ(
        add(ZipFunction::Add, allFiles, [](ZipCommand& c) { c.optionBits |= ZipOptionBits::SelfExtractor; }),
        EngineResult::Ok);
    EXPECT_EQ(readFile(archive).substr(0, stub.size()), stub);
    expectToolsAccept(archive);
    EXPECT_EQ(namesIn(archive), (std::vector<std::string>{"a.txt", "b.txt"}));
    // No warning about offsets: they are absolute from the start of the file.
    EXPECT_EQ(commandOutput("unzip -tq '" + archive + "' 2>&1").find("extra bytes"), std::string::npos);
}

TEST_F(DzipTest, CancelLeavesTheArchiveByteForByteAndNoTemporaryFile)
{
    writeFile(source / "a.txt", textData(100000, 8));
    ASSERT_EQ(add(ZipFunction::Add, allFiles), EngineResult::Ok);
    const std::string before = readFile(archive);
    writeFile(source / "b.txt", textData(200000, 9));
    writeFile(source / "c.txt", textData(200000, 10));
    // Cancelled at each of the four statuses every run gives (one per file, then the directory;
    // a repeated status may or may not be passed on, depending on how soon it comes), and at the
    // last one before the new archive goes in place; a move removes no source.
    for (int stopAt = 1; stopAt <= 5; ++stopAt) {
        record = {};
        if (stopAt < 5)
            record.stopAtStatus = stopAt;
        else
            record.stopWhen = [](const std::string& text, uint32_t percent) {
                return text == "Writing the directory" && percent == 100;
            };
        EXPECT_EQ(add(ZipFunction::Add, allFiles, [](ZipCommand& c) { c.deleteSourceFiles = 1; }),
                  EngineResult::Cancelled)
            << stopAt;
        EXPECT_EQ(readFile(archive), before);
        EXPECT_EQ(leftoverTemporaryFiles(work.path()), 0);
        EXPECT_TRUE(fs::exists(source / "a.txt") && fs::exists(source / "b.txt") &&
                    fs::exists(source / "c.txt"));
    }
    // A new archive whose creation is cancelled does not appear at all.
    archive = work.file("never.zip");
    record = {};
    record.stopAtStatus = 2;
    EXPECT_EQ(add(ZipFunction::Add, allFiles), EngineResult::Cancelled);
    EXPECT_FALSE(fs::exists(archive));
}

// A source that shrinks after it was listed is a read error whether a worker reads it whole or it
// is streamed: the archive stays as it was, nothing is left behind and a move removes nothing.
TEST_F(DzipTest, SourceChangedWhileAddingIsAReadErrorAndChangesNothing)
{
    writeFile(source / "a.txt", "first");
    ASSERT_EQ(add(ZipFunction::Add, allFiles), EngineResult::Ok);
    const std::string before = readFile(archive);
    struct Case {
        const char* name;
        uint64_t size;
        bool whole; // read whole by a worker; otherwise streamed
    } cases[] = {{"small.txt", 5000, true}, {"z-big.bin", 40u << 20, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(source / "small.txt");
        fs::remove(source / "z-big.bin");
        writeFile(source / c.name, "");
        fs::resize_file(source / c.name, c.size); // sparse
        record = {};
        // A worker reads its file as soon as the writing starts, so that file is cut while the
        // names are still being gathered (the note about the missing name comes then); a streamed
        // file is read only when its turn comes.
        record.onMessage = [&](const std::string& text) {
            if (c.whole && text.rfind("Not found", 0) == 0)
                fs::resize_file(source / c.name, 10);
        };
        record.onStatus = [&](const std::string& text) {
            if (!c.whole && text == std::string("Deflating: ") + c.name)
                fs::resize_file(source / c.name, 1000);
        };
        const std::string items = allFiles + " \"" + (source / "missing.doc").string() + "\"";
        EXPECT_EQ(add(ZipFunction::Add, items, [](ZipCommand& command) { command.deleteSourceFiles = 1; }),
                  EngineResult::ReadError);
        EXPECT_EQ(readFile(archive), before);
        EXPECT_EQ(leftoverTemporaryFiles(work.path()), 0);
        EXPECT_TRUE(fs::exists(source / "a.txt") && fs::exists(source / c.name));
        EXPECT_TRUE(std::any_of(record.messages.begin(), record.messages.end(), [&](const std::string& m) {
            return m.find("changed while it was being added") != std::string::npos;
        }));
    }
}

TEST_F(DzipTest, FullDiskLeavesTheArchiveUnchanged)
{
    writeFile(source / "a.txt", "first");
    ASSERT_EQ(add(ZipFunction::Add, allFiles), EngineResult::Ok);
    const std::string before = readFile(archive);
    // Small files written whole and a large one streamed: both ways of writing meet the full disk.
    for (const size_t size : {size_t{3} << 20, size_t{40} << 20}) {
        SCOPED_TRACE(size);
        writeFile(source / "noise.bin", randomBytes(size, 12));
        // A child with a file size limit below the new archive's size sees its writes fail as on a
        // full disk.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit {
                1u << 20, 1u << 20
            };
            setrlimit(RLIMIT_FSIZE, &limit);
            EngineRecord quiet;
            ZipCommand command = makeCommand(ZipFunction::Add, archive, allFiles, quiet);
            command.deleteSourceFiles = 1;
            _exit(dzip(&command));
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), EngineResult::WriteError);
        EXPECT_EQ(readFile(archive), before);
        EXPECT_EQ(leftoverTemporaryFiles(work.path()), 0);
        EXPECT_TRUE(fs::exists(source / "a.txt") && fs::exists(source / "noise.bin"));
    }
}

TEST_F(DzipTest, BadArgumentsAreRefusedBeforeAnythingIsWritten)
{
    writeFile(source / "a.txt", "a");
    struct Case {
        std::function<void(ZipCommand&)> adjust;
    } cases[] = {
        {[](ZipCommand& c) { c.spanOptions = 0x8000; }},
        {[](ZipCommand& c) { c.spanOptions = 0x8100; }},
        {[](ZipCommand& c) {
            c.dateGiven = 1;
            c.date = "2024-13-01";
        }},
        {[](ZipCommand& c) {
            c.dateGiven = 1;
            c.date = "yesterday";
        }},
        {[](ZipCommand& c) { c.function = 0; }},
    };
    for (const Case& c : cases) {
        record = {};
        EXPECT_EQ(add(ZipFunction::Add, allFiles, c.adjust), EngineResult::BadArgument);
        EXPECT_FALSE(fs::exists(archive));
        EXPECT_EQ(record.messages.size(), 1u);
    }
}

TEST_F(DzipTest, NothingMatchedIsNothingToDo)
{
    writeFile(source / "a.txt", "a");
    EXPECT_EQ(add(ZipFunction::Add, "\"" + (source / "*.doc").string() + "\""), EngineResult::NothingToDo);
    EXPECT_FALSE(fs::exists(archive));
    ASSERT_EQ(add(ZipFunction::Add, allFiles), EngineResult::Ok);
    const std::string before = readFile(archive);
    EXPECT_EQ(add(ZipFunction::Freshen, allFiles), EngineResult::NothingToDo); // nothing newer
    EXPECT_EQ(add(ZipFunction::Delete, "\"missing.txt\""), EngineResult::NothingToDo);
    EXPECT_EQ(readFile(archive), before);
}

TEST_F(DzipTest, DateKeepsOnlyFilesFromThatDayOn)
{
    writeFile(source / "old.txt", "old");
    writeFile(source / "new.txt", "new");
    setModified(source / "old.txt", 946771200);  // 2000-01-02
    setModified(source / "new.txt", 1704153600); // 2024-01-02
    ASSERT_EQ(add(ZipFunction::Add, allFiles,
                  [](ZipCommand& c) {
                      c.dateGiven = 1;
                      c.date = "06/15/2010";
                  }),
              EngineResult::Ok);
    EXPECT_EQ(namesIn(archive), (std::vector<std::string>{"new.txt"}));
}

TEST_F(DzipTest, IncludeExcludeRecursionAndHiddenFiles)
{
    writeFile(source / "a.txt", "a");
    writeFile(source / "b.doc", "b");
    writeFile(source / ".hidden.txt", "h");
    writeFile(source / "sub" / "c.txt", "c");
    writeFile(source / "sub" / "deep" / "d.TXT", "d");
    writeFile(source / ".cache" / "e.txt", "e");
    writeFile(work.path() / "outside.txt", "o");
    mkfifo((source / "pipe.txt").c_str(), 0600);
    struct Case {
        bool recurse;
        bool hidden;
        const char* include; // nullptr: not given
        const char* exclude;
        std::vector<std::string> names;
    } cases[] = {
        {false, false, nullptr, nullptr, {"a.txt", "b.doc"}},
        {true,
         false,
         nullptr,
         nullptr,
         {"a.txt", "b.doc", "sub/", "sub/c.txt", "sub/deep/", "sub/deep/d.TXT"}},
        {true,
         true,
         nullptr,
         "\"*.doc\" \"sub/deep/*\"",
         {".cache/", ".cache/e.txt", ".hidden.txt", "a.txt", "sub/", "sub/c.txt", "sub/deep/"}},
        {true, false, "\"*.txt\"", nullptr, {"a.txt", "sub/c.txt", "sub/deep/d.TXT"}},
        {false, false, "\"*.txt\"", nullptr, {"a.txt"}},
        {true, false, "\"sub/*.TXT\"", "\"D.txt\"", {"sub/c.txt"}},
        // Plain names with recurse match in every subdirectory of their own directory.
        {true, false, "\"C.TXT\" \"sub/d.txt\"", nullptr, {"sub/c.txt", "sub/deep/d.TXT"}},
        {false, false, "\"C.TXT\" \"A.TXT\"", nullptr, {"a.txt"}},
        {true,
         false,
         nullptr,
         "\"sub\" \"deep/D.TXT\" \"a.txt\"",
         {"b.doc", "sub/c.txt", "sub/deep/", "sub/deep/d.TXT"}},
        // Plain names are added even when no specification found them, ".." included.
        {false,
         false,
         "\"sub/c.txt\" \"../outside.txt\" \".hidden.txt\"",
         nullptr,
         {".hidden.txt", "outside.txt", "sub/c.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.include ? c.include : "-") + " / " + (c.exclude ? c.exclude : "-"));
        fs::remove(archive);
        ASSERT_EQ(add(ZipFunction::Add, allFiles,
                      [&](ZipCommand& command) {
                          command.recurse = c.recurse;
                          command.includeSystemAndHidden = c.hidden;
                          command.includeListGiven = c.include != nullptr;
                          command.includeList = c.include;
                          command.excludeListGiven = c.exclude != nullptr;
                          command.excludeList = c.exclude;
                      }),
                  EngineResult::Ok);
        EXPECT_EQ(namesIn(archive), c.names);
    }
}

TEST_F(DzipTest, NoDirectoryNamesStoresFileNamesOnly)
{
    writeFile(source / "top.txt", "t");
    writeFile(source / "sub" / "inner.txt", "i");
    ASSERT_EQ(add(ZipFunction::Add, allFiles,
                  [](ZipCommand& c) {
                      c.recurse = 1;
                      c.noDirectoryNames = 1;
                  }),
              EngineResult::Ok);
    EXPECT_EQ(namesIn(archive), (std::vector<std::string>{"inner.txt", "top.txt"}));
}

TEST_F(DzipTest, SymbolicLinksAreFollowedWithoutLoopingOnACycle)
{
    writeFile(source / "real" / "f.txt", "f");
    fs::create_directory_symlink("..", source / "real" / "up"); // a cycle back to src
    fs::create_symlink("real/f.txt", source / "link.txt");
    fs::create_symlink("nowhere", source / "dangling.txt");
    ASSERT_EQ(add(ZipFunction::Add, allFiles, [](ZipCommand& c) { c.recurse = 1; }), EngineResult::Ok);
    const auto entries = listArchive(archive);
    std::vector<std::string> names;
    for (const auto& entry : entries)
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"link.txt", "real/", "real/f.txt"}));
    for (const auto& entry : entries) {
        if (entry.name == "link.txt") {
            EXPECT_EQ(entry.size, 1u); // the file's data, not the link
        }
    }
}

TEST_F(DzipTest, MoveRemovesOnlyTheFilesThatWereStored)
{
    writeFile(source / "a.txt", "a");
    writeFile(source / "b.txt", "b");
    writeFile(source / "skip.doc", "s");
    ASSERT_EQ(add(ZipFunction::Add, allFiles,
                  [](ZipCommand& c) {
                      c.deleteSourceFiles = 1;
                      c.excludeListGiven = 1;
                      c.excludeList = "\"*.doc\"";
                  }),
              EngineResult::Ok);
    EXPECT_FALSE(fs::exists(source / "a.txt"));
    EXPECT_FALSE(fs::exists(source / "b.txt"));
    EXPECT_TRUE(fs::exists(source / "skip.doc"));
    EXPECT_EQ(namesIn(archive), (std::vector<std::string>{"a.txt", "b.txt"}));

    // Move/Freshen: a file that is not newer stays where it is.
    writeFile(source / "a.txt", "a again");
    setModified(source / "a.txt", 1000000000);
    const std::string before = readFile(archive);
    EXPECT_EQ(add(ZipFunction::Freshen, allFiles, [](ZipCommand& c) { c.deleteSourceFiles = 1; }),
              EngineResult::NothingToDo);
    EXPECT_TRUE(fs::exists(source / "a.txt"));
    EXPECT_EQ(readFile(archive), before);

    // A file left out because another already took its stored name stays too.
    fs::remove(archive);
    writeFile(source / "sub" / "a.txt", "same stored name");
    EXPECT_EQ(add(ZipFunction::Add, allFiles,
                  [](ZipCommand& c) {
                      c.deleteSourceFiles = 1;
                      c.recurse = 1;
                      c.noDirectoryNames = 1;
                      c.excludeListGiven = 1;
                      c.excludeList = "\"*.doc\"";
                  }),
              EngineResult::EntriesSkipped);
    EXPECT_FALSE(fs::exists(source / "a.txt"));
    EXPECT_TRUE(fs::exists(source / "sub" / "a.txt"));
    EXPECT_EQ(namesIn(archive), (std::vector<std::string>{"a.txt"}));
}

TEST_F(DzipTest, OldAsLatestDatesTheArchiveLikeItsNewestEntry)
{
    writeFile(source / "a.txt", "a");
    writeFile(source / "b.txt", "b");
    setModified(source / "a.txt", 1300000000);
    setModified(source / "b.txt", 1200000000);
    ASSERT_EQ(add(ZipFunction::Add, allFiles, [](ZipCommand& c) { c.oldAsLatest = 1; }), EngineResult::Ok);
    struct stat status {};
    ASSERT_EQ(stat(archive.c_str(), &status), 0);
    EXPECT_LE(std::llabs(static_cast<long long>(status.st_mtime) - 1300000000), 2);
}

TEST_F(DzipTest, UnixPermissionsAndReadOnlyBitAreStored)
{
    writeFile(source / "ro.sh", "#!/bin/sh\n");
    chmod((source / "ro.sh").c_str(), 0555);
    ASSERT_EQ(add(ZipFunction::Add, allFiles), EngineResult::Ok);
    const std::string listing = commandOutput("zipinfo '" + archive + "'");
    EXPECT_NE(listing.find("-r-xr-xr-x"), std::string::npos) << listing;
    const std::string bytes = readFile(archive);
    const size_t central = bytes.find("PK\x01\x02");
    ASSERT_NE(central, std::string::npos);
    EXPECT_EQ(static_cast<uint8_t>(bytes[central + 5]), 3);      // made by Unix
    EXPECT_EQ(static_cast<uint8_t>(bytes[central + 38]) & 1, 1); // DOS read-only
}

TEST_F(DzipTest, ProgressNamesEachFileAndPercentReachesTheEnd)
{
    writeFile(source / "a.txt", textData(1000, 13));
    ASSERT_EQ(add(ZipFunction::Add, allFiles, [](ZipCommand& c) { c.compressionLevel = 0; }),
              EngineResult::Ok);
    writeFile(source / "b.txt", textData(1000, 14));
    record = {};
    ASSERT_EQ(add(ZipFunction::Add, "\"" + (source / "b*.txt").string() + "\""), EngineResult::Ok);
    EXPECT_NE(std::find(record.statuses.begin(), record.statuses.end(), "Copying: a.txt"),
              record.statuses.end());
    EXPECT_NE(std::find(record.statuses.begin(), record.statuses.end(), "Deflating: b.txt"),
              record.statuses.end());
}

TEST_F(DzipTest, WriteLogAppendsUnderTheStateDirectory)
{
    ScopedEnvironment state("XDG_STATE_HOME", work.file("state"));
    writeFile(source / "a.txt", "a");
    ASSERT_EQ(add(ZipFunction::Add, allFiles, [](ZipCommand& c) { c.writeLog = 1; }), EngineResult::Ok);
    const std::string log = readFile(work.path() / "state" / "quarvo" / "zip.log");
    EXPECT_NE(log.find("a.txt"), std::string::npos) << log;
}

// Delete takes a stored name for that entry alone, even when it holds `*`, `?` or `[`; only a name
// that is not stored is a pattern.
TEST_F(DzipTest, DeleteTakesStoredNamesLiterally)
{
    struct Case {
        const char* items;
        std::vector<std::string> left;
    } cases[] = {
        {"\"a*b.txt\"", {"a1.txt", "a[1].txt", "axb.txt"}},
        {"\"A*B.TXT\"", {"a1.txt", "a[1].txt", "axb.txt"}},
        {"\"a[1].txt\"", {"a*b.txt", "a1.txt", "axb.txt"}},
        {"\"a?b.txt\"", {"a1.txt", "a[1].txt"}},
        {"\"a*\"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items);
        fs::remove_all(source);
        fs::remove(archive);
        for (const char* name : {"a*b.txt", "axb.txt", "a[1].txt", "a1.txt"})
            writeFile(source / name, name);
        ASSERT_EQ(add(ZipFunction::Add, allFiles), EngineResult::Ok);
        ASSERT_EQ(add(ZipFunction::Delete, c.items), EngineResult::Ok);
        if (c.left.empty())
            EXPECT_EQ(fs::file_size(archive), 22u);
        else
            EXPECT_EQ(namesIn(archive), c.left);
    }
}

// A long list of quoted names, as a selection of many entries gives it, deletes exactly those.
TEST_F(DzipTest, DeleteOfManyNamedEntriesRemovesExactlyThose)
{
    std::vector<uint8_t> bytes, directory;
    std::string items;
    for (uint32_t i = 0; i < 30000; ++i) {
        const std::string name = "d" + std::to_string(i % 50) + "/e" + std::to_string(i);
        LocalHeaderFields local;
        local.versionNeeded = 10;
        CentralHeaderFields central;
        central.versionNeeded = 10;
        central.localHeaderOffset = static_cast<uint32_t>(bytes.size());
        appendLocalHeader(bytes, local, name);
        appendCentralHeader(directory, central, name);
        if (i % 3 != 0)
            items += "\"" + name + "\" ";
    }
    EndRecordFields end;
    end.entriesOnThisDisk = end.entriesTotal = 30000;
    end.directorySize = static_cast<uint32_t>(directory.size());
    end.directoryOffset = static_cast<uint32_t>(bytes.size());
    bytes.insert(bytes.end(), directory.begin(), directory.end());
    appendEndRecord(bytes, end);
    writeFile(archive, std::string(bytes.begin(), bytes.end()));
    ASSERT_EQ(add(ZipFunction::Delete, items), EngineResult::Ok);
    const auto entries = listArchive(archive);
    ASSERT_EQ(entries.size(), 10000u);
    for (size_t k = 0; k < entries.size(); ++k)
        EXPECT_EQ(entries[k].name, "d" + std::to_string(3 * k % 50) + "/e" + std::to_string(3 * k));
}

// An include list of many plain names, as the file-list dialog builds it, takes exactly those files.
TEST_F(DzipTest, LongIncludeListTakesExactlyItsFiles)
{
    std::string include;
    std::vector<std::string> expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string name = "d" + std::to_string(i % 10) + "/f" + std::to_string(i) + ".txt";
        writeFile(source / name, "");
        if (i % 3 == 0) {
            include += "\"" + name + "\" ";
            expected.push_back(name);
        }
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(add(ZipFunction::Add, allFiles,
                  [&](ZipCommand& c) {
                      c.recurse = 1;
                      c.includeListGiven = 1;
                      c.includeList = include.c_str();
                  }),
              EngineResult::Ok);
    EXPECT_EQ(namesIn(archive), expected);
}

TEST(BufferEncoderTest, SkewedNoiseIsCodedNoLargerThanZlibRandomBytesAreStoredAndEveryLevelDecodesBack)
{
    // In skewed noise LZ77 matches cost more than they save; Huffman codes alone make it smaller
    // than zlib's deflate at any level. Random bytes are stored without growing.
    BufferEncoder encoder;
    struct Case {
        std::string original;
        uint16_t method;
    } cases[] = {{textData(400000, 11), zipformat::method::Deflated},
                 {skewedNoise(400000, 12), zipformat::method::Deflated},
                 {randomBytes(400000, 13), zipformat::method::Stored}};
    for (const Case& c : cases) {
        for (uint32_t factor : {1u, 5u, 8u}) {
            SCOPED_TRACE(::testing::Message() << "method " << c.method << ", factor " << factor);
            EncodingOptions options;
            options.deflateLevel = deflateLevelFor(factor);
            std::vector<uint8_t> data(c.original.begin(), c.original.end());
            const EncodedData encoded = encoder.encode(std::move(data), options).value();
            ASSERT_EQ(encoded.method, c.method);
            if (c.method == zipformat::method::Stored) {
                EXPECT_EQ(std::string(encoded.payload.begin(), encoded.payload.end()), c.original);
                continue;
            }
            EXPECT_EQ(inflateRaw(encoded.payload, c.original.size()), c.original);
            if (&c == &cases[1]) {
                EXPECT_LE(encoded.payload.size(), zlibDeflate(c.original, options.deflateLevel).size());
            }
        }
    }
}
