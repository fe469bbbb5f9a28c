#include "DunzipTestSupport.h"
#include "engines/api/EngineResult.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sys/stat.h>

namespace quarvo {
namespace {

using namespace quarvo::testing;
namespace fs = std::filesystem;

std::string randomText(size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string text(size, '\0');
    for (char& c : text)
        c = static_cast<char>('a' + generator() % 26);
    return text;
}

class DunzipExtract : public ::testing::Test {
  protected:
    std::string write(const std::string& bytes, const std::string& name = "archive.zip")
    {
        writeFile(work.path() / name, bytes);
        return work.file(name);
    }
    std::string out() const { return work.file("out"); }

    TemporaryDirectory work;
};

TEST_F(DunzipExtract, ExtractsStoredAndDeflatedEntriesWithTimesAndPermissions)
{
    ZipBuilder builder;
    ZipBuilder::Entry stored = ZipBuilder::stored("dir/stored.txt", "plain bytes");
    stored.externalAttributes = (0100000u | 06755u) << 16; // setuid, setgid: must not survive
    builder.add(stored);
    std::string text = randomText(100000, 1);
    builder.add(ZipBuilder::deflated("dir/sub/deflated.txt", deflateRaw(text), text));
    builder.add(ZipBuilder::stored("emptydir/", ""));
    UnzipRun run = runDunzip(write(builder.finish()), out());
    ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_EQ(readFile(out() + "/dir/stored.txt"), "plain bytes");
    EXPECT_EQ(readFile(out() + "/dir/sub/deflated.txt"), text);
    EXPECT_TRUE(fs::is_directory(out() + "/emptydir"));
    struct stat status {};
    ASSERT_EQ(::stat((out() + "/dir/stored.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0755u);
    std::tm expected{};
    expected.tm_year = 125, expected.tm_mon = 0, expected.tm_mday = 1, expected.tm_hour = 12,
    expected.tm_isdst = -1;
    EXPECT_EQ(status.st_mtime, std::mktime(&expected));
    EXPECT_TRUE(std::find(run.statuses.begin(), run.statuses.end(), "Inflating: dir/sub/deflated.txt") !=
                run.statuses.end());
    EXPECT_EQ(run.percents.back(), 100u);
}

// A directory's mode and time are set after the files inside it are written, deepest first, or
// writing them would change the time and a read-only mode would stop them. Special bits never come
// back, and a directory made on MS-DOS keeps the mode it was created with.
TEST_F(DunzipExtract, DirectoryModesAndTimesAreRestoredAfterTheirFiles)
{
    struct Case {
        const char* name;
        uint16_t versionMadeBy;
        uint32_t unixMode;
        mode_t expectedMode;
    };
    const Case cases[] = {
        {"top/", 0x031E, 0042750, 0750},    // set-group-ID dropped
        {"top/ro/", 0x031E, 0041555, 0555}, // read-only and sticky, with a file still to come inside
        {"dos/", 0x0014, 0, 0755},
    };
    ZipBuilder builder;
    for (const Case& c : cases) {
        ZipBuilder::Entry entry = ZipBuilder::stored(c.name, "");
        entry.versionMadeBy = c.versionMadeBy;
        entry.externalAttributes = c.unixMode << 16 | 0x10;
        builder.add(entry);
    }
    builder.add(ZipBuilder::stored("top/ro/inner.txt", "inner")).add(ZipBuilder::stored("dos/file.txt", "f"));
    ::umask(022);
    UnzipRun run = runDunzip(write(builder.finish()), out());
    ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_EQ(readFile(out() + "/top/ro/inner.txt"), "inner");
    std::tm noon{};
    noon.tm_year = 125, noon.tm_mday = 1, noon.tm_hour = 12, noon.tm_isdst = -1; // the builder's date
    for (const Case& c : cases) {
        struct stat status {};
        ASSERT_EQ(::stat((out() + "/" + c.name).c_str(), &status), 0) << c.name;
        EXPECT_EQ(status.st_mode & 07777, c.expectedMode) << c.name;
        EXPECT_EQ(status.st_mtime, std::mktime(&noon)) << c.name;
    }
    fs::permissions(out() + "/top/ro", fs::perms::owner_write, fs::perm_options::add); // for the clean-up
}

// Bit 11 says UTF-8; without it the bytes are code page 437. Either way the local header's name is
// the same bytes as the directory's and must be found to agree, whatever bytes above 0x7F it holds.
TEST_F(DunzipExtract, NamesAreDecodedFromUtf8OrCodePage437)
{
    ZipBuilder builder;
    ZipBuilder::Entry utf8 = ZipBuilder::stored("na\xC3\xAFve \xE2\x82\xAC.txt", "utf-8");
    utf8.flags |= 0x0800;
    builder.add(utf8);
    builder.add(ZipBuilder::stored("\x84rger.txt", "cp437")); // 0x84 is "\xC3\xA4" in code page 437
    UnzipRun run = runDunzip(write(builder.finish()), out());
    ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_EQ(readFile(out() + "/na\xC3\xAFve \xE2\x82\xAC.txt"), "utf-8");
    EXPECT_EQ(readFile(out() + "/\xC3\xA4rger.txt"), "cp437");
}

TEST_F(DunzipExtract, ExistingFilesAreSkippedUnlessOverwriteIsSet)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("a.txt", "from archive")).add(ZipBuilder::stored("b.txt", "new"));
    std::string archive = write(builder.finish());
    writeFile(out() + "/a.txt", "on disk");
    UnzipRun skipped = runDunzip(archive, out());
    EXPECT_EQ(skipped.result, EngineResult::EntriesSkipped);
    EXPECT_TRUE(skipped.mentioned("Skipped a.txt")) << skipped.allMessages();
    EXPECT_EQ(readFile(out() + "/a.txt"), "on disk");
    EXPECT_EQ(readFile(out() + "/b.txt"), "new");

    UnzipRun overwritten = runDunzip(archive, out(), [](UnzipCommand& c) { c.overwrite = 1; });
    EXPECT_EQ(overwritten.result, EngineResult::Ok) << overwritten.allMessages();
    EXPECT_EQ(readFile(out() + "/a.txt"), "from archive");
}

TEST_F(DunzipExtract, UpdateAndFreshenCompareModificationTimes)
{
    ZipBuilder builder; // every entry dated 2025-01-01 12:00
    builder.add(ZipBuilder::stored("older-on-disk", "archive"))
        .add(ZipBuilder::stored("newer-on-disk", "archive"))
        .add(ZipBuilder::stored("missing", "archive"));
    std::string archive = write(builder.finish());
    auto prepare = [&] {
        fs::remove_all(out());
        writeFile(out() + "/older-on-disk", "disk");
        writeFile(out() + "/newer-on-disk", "disk");
        fs::last_write_time(out() + "/older-on-disk",
                            fs::file_time_type::clock::now() - std::chrono::hours(24 * 800));
    };
    struct Case {
        const char* mode;
        std::function<void(UnzipCommand&)> configure;
        const char* older;
        const char* newer;
        bool missingCreated;
    };
    const Case cases[] = {
        {"update", [](UnzipCommand& c) { c.update = 1; }, "archive", "disk", true},
        {"freshen", [](UnzipCommand& c) { c.freshen = 1; }, "archive", "disk", false},
    };
    for (const Case& c : cases) {
        prepare();
        UnzipRun run = runDunzip(archive, out(), c.configure);
        EXPECT_EQ(run.result, EngineResult::Ok) << c.mode << run.allMessages();
        EXPECT_EQ(readFile(out() + "/older-on-disk"), c.older) << c.mode;
        EXPECT_EQ(readFile(out() + "/newer-on-disk"), c.newer) << c.mode;
        EXPECT_EQ(fs::exists(out() + "/missing"), c.missingCreated) << c.mode;
    }
}

TEST_F(DunzipExtract, UnsafeNamesAreRefusedAndTheRestExtracted)
{
    const std::string hostile[] = {"../escape.txt", "/absolute.txt",        "C:drive.txt",
                                   "a//b.txt",      "a/../../up.txt",       std::string("nul\0.txt", 8),
                                   "./.",           "ctl\x1b[2J\n/../x.txt"};
    ZipBuilder builder;
    for (const std::string& name : hostile)
        builder.add(ZipBuilder::stored(name, "bad"));
    ZipBuilder::Entry dosBackslashes = ZipBuilder::stored("dir\\..\\..\\back.txt", "bad");
    dosBackslashes.versionMadeBy = 0x0014; // MS-DOS: "\" separates directories
    builder.add(dosBackslashes);
    builder.add(ZipBuilder::stored("", "empty name"));
    builder.add(ZipBuilder::stored("good.txt", "good"));
    fs::create_directories(out() + "/deep");
    std::string destination = out() + "/deep";
    UnzipRun run = runDunzip(write(builder.finish()), destination);
    EXPECT_EQ(run.result, EngineResult::EntriesSkipped);
    EXPECT_EQ(treeOf(out()), (std::vector<std::string>{"deep/", "deep/good.txt"}));
    EXPECT_TRUE(run.mentioned("Refused ../escape.txt")) << run.allMessages();
    EXPECT_TRUE(run.mentioned("Refused dir\\..\\..\\back.txt")) << run.allMessages();
    EXPECT_TRUE(run.mentioned("Refused nul\\x00.txt")) << run.allMessages();
    EXPECT_TRUE(run.mentioned("the name is empty"));
    EXPECT_TRUE(run.mentioned("Refused ctl\\x1B[2J\\x0A/../x.txt")) << run.allMessages();
    for (const std::string& message : run.messages) {
        EXPECT_TRUE(std::none_of(message.begin(), message.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
            << "a control character reached a message: " << message;
    }
    EXPECT_FALSE(fs::exists(work.file("escape.txt")));
}

TEST_F(DunzipExtract, PlantedLinksAreNeverFollowedOrWrittenThrough)
{
    fs::create_directories(work.file("outside"));
    fs::create_directories(out());
    fs::create_symlink(work.file("outside"), out() + "/linkdir");
    writeFile(work.file("outside/target.txt"), "precious");
    fs::create_symlink(work.file("outside/target.txt"), out() + "/linkfile");
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("linkdir/planted.txt", "through a directory link"))
        .add(ZipBuilder::stored("linkfile", "through a file link"));
    UnzipRun run = runDunzip(write(builder.finish()), out(), [](UnzipCommand& c) { c.overwrite = 1; });
    EXPECT_NE(run.result, EngineResult::Ok);
    EXPECT_FALSE(fs::exists(work.file("outside/planted.txt")));
    EXPECT_EQ(readFile(work.file("outside/target.txt")), "precious");
    EXPECT_FALSE(fs::is_symlink(out() + "/linkfile")); // replaced by the entry, not written through
    EXPECT_EQ(readFile(out() + "/linkfile"), "through a file link");
    EXPECT_TRUE(run.mentioned("linkdir/planted.txt")) << run.allMessages();
}

TEST_F(DunzipExtract, EntriesThatShareDirectoriesStillRefusePlantedLinksBetweenThem)
{
    // The directory of the last entry is kept open for the next ones: moving between directories,
    // a planted link on the way must still be refused and every other entry land where it belongs.
    fs::create_directories(work.file("outside"));
    fs::create_directories(out() + "/real/sub");
    fs::create_symlink(work.file("outside"), out() + "/real/linked");
    fs::create_symlink(work.file("outside"), out() + "/top");
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("real/sub/a.txt", "a"))
        .add(ZipBuilder::stored("real/linked/b.txt", "b"))
        .add(ZipBuilder::stored("real/sub/c.txt", "c"))
        .add(ZipBuilder::stored("top/d.txt", "d"))
        .add(ZipBuilder::stored("real/sub", "a file over the directory"))
        .add(ZipBuilder::stored("real/sub/deeper/e.txt", "e"))
        .add(ZipBuilder::stored("real/f.txt", "f"))
        .add(ZipBuilder::stored("real/sub/g.txt", "g"));
    UnzipRun run = runDunzip(write(builder.finish()), out(), [](UnzipCommand& c) { c.overwrite = 1; });
    EXPECT_NE(run.result, EngineResult::Ok);
    EXPECT_TRUE(fs::is_empty(work.file("outside")));
    EXPECT_TRUE(run.mentioned("real/linked/b.txt")) << run.allMessages();
    EXPECT_TRUE(run.mentioned("top/d.txt")) << run.allMessages();
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(out() + "/real/sub")));
    for (const char* name :
         {"real/sub/a.txt", "real/sub/c.txt", "real/sub/deeper/e.txt", "real/f.txt", "real/sub/g.txt"})
        EXPECT_EQ(readFile(out() + "/" + name), std::string(1, fs::path(name).stem().string().back()))
            << name;
}

TEST_F(DunzipExtract, LocalHeadersWithLongExtraFieldsAreReadWhole)
{
    // A field of a tag nobody knows, padded to size bytes in all.
    auto unknownField = [](size_t size) {
        std::string field = "\xfe\xca";
        field += static_cast<char>((size - 4) & 0xFF);
        field += static_cast<char>((size - 4) >> 8);
        return field + std::string(size - 4, 'x');
    };
    ZipBuilder builder;
    for (size_t size : {0u, 200u, 300u, 5000u, 65532u}) {
        ZipBuilder::Entry entry = ZipBuilder::stored("extra" + std::to_string(size) + ".txt", "data");
        if (size > 0)
            entry.extra = unknownField(size);
        builder.add(entry);
    }
    UnzipRun run = runDunzip(write(builder.finish()), out());
    EXPECT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    for (size_t size : {0u, 200u, 300u, 5000u, 65532u})
        EXPECT_EQ(readFile(out() + "/extra" + std::to_string(size) + ".txt"), "data") << size;
}

TEST_F(DunzipExtract, LinkEntriesAreCreatedLastAndOnlyInside)
{
    auto link = [](const std::string& name, const std::string& target) {
        ZipBuilder::Entry entry = ZipBuilder::stored(name, target);
        entry.externalAttributes = (0120000u | 0777u) << 16;
        return entry;
    };
    ZipBuilder builder;
    // dir/up points at the destination itself; dir/chained would climb one more level through it.
    builder.add(link("dir/inside", "../file.txt"))
        .add(link("absolute", "/etc/passwd"))
        .add(link("dir/climbing", "../../outside"))
        .add(link("dir/up", ".."))
        .add(link("dir/chained", "up/.."))
        .add(ZipBuilder::stored("file.txt", "text"));
    UnzipRun run = runDunzip(write(builder.finish()), out());
    EXPECT_EQ(run.result, EngineResult::EntriesSkipped);
    EXPECT_TRUE(fs::is_symlink(out() + "/dir/inside"));
    EXPECT_EQ(fs::read_symlink(out() + "/dir/inside"), "../file.txt");
    EXPECT_EQ(readFile(out() + "/dir/inside"), "text");
    EXPECT_FALSE(fs::exists(fs::symlink_status(out() + "/absolute")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(out() + "/dir/climbing")));
    EXPECT_TRUE(fs::is_symlink(out() + "/dir/up"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(out() + "/dir/chained")));
    EXPECT_TRUE(run.mentioned("Skipped link absolute -> /etc/passwd")) << run.allMessages();
    EXPECT_TRUE(run.mentioned("Skipped link dir/chained -> up/..")) << run.allMessages();
}

TEST_F(DunzipExtract, DamagedEntriesLeaveNoFileAndTheOthersExtract)
{
    std::string text = randomText(50000, 2);
    ZipBuilder builder;
    ZipBuilder::Entry badCrc = ZipBuilder::stored("bad-crc.txt", "some data");
    badCrc.crc32 ^= 1;
    ZipBuilder::Entry tooLong = ZipBuilder::deflated("bomb.txt", deflateRaw(std::string(1 << 20, '\0')), "x");
    tooLong.crc32 = crc32Of(std::string(1 << 20, '\0'));
    ZipBuilder::Entry corrupt = ZipBuilder::deflated("corrupt.txt", "\xFF\xFF\xFF\xFF garbage", text);
    ZipBuilder::Entry cutStream =
        ZipBuilder::deflated("cut-stream.txt", deflateRaw(text).substr(0, 1000), text);
    ZipBuilder::Entry truncated = ZipBuilder::stored("truncated.txt", "only these bytes");
    truncated.compressedSize = truncated.uncompressedSize = 5000; // more than the archive holds
    ZipBuilder::Entry unsupported = ZipBuilder::stored("imploded.txt", "\x0B\x02");
    unsupported.method = 6;
    for (ZipBuilder::Entry* entry : {&badCrc, &tooLong, &corrupt, &cutStream, &unsupported})
        builder.add(*entry);
    builder.add(ZipBuilder::stored("good.txt", "good"));
    builder.add(truncated); // last, so its size runs into the directory rather than into another entry
    std::string archive = write(builder.finish());
    UnzipRun run = runDunzip(archive, out());
    EXPECT_EQ(run.result, EngineResult::CrcError) << run.allMessages();
    EXPECT_EQ(treeOf(out()), std::vector<std::string>{"good.txt"}); // no partial or temporary file
    EXPECT_TRUE(run.mentioned("bad-crc.txt: CRC error"));
    EXPECT_TRUE(run.mentioned("bomb.txt: the data decodes to more than its declared 1 bytes"));
    EXPECT_TRUE(run.mentioned("corrupt.txt: the compressed data is damaged"));
    EXPECT_TRUE(run.mentioned("cut-stream.txt: the compressed data is damaged"));
    EXPECT_TRUE(run.mentioned("truncated.txt: the data is truncated"));
    EXPECT_TRUE(run.mentioned("imploded.txt: compression method 6 (Implode) is not supported"));

    UnzipRun test = runDunzip(archive, "");
    EXPECT_EQ(test.result, EngineResult::CrcError);
    EXPECT_TRUE(test.mentioned("Tested 1 of 7 entries; 6 had problems."));
}

// Data is called truncated only when it really ends early: the archive ends inside it, or its size
// runs into the directory. A deflate stream that ends before the declared size, or needs more than
// the entry's compressed bytes, had every byte there and is damaged; one that decodes to other bytes
// fails its CRC. Small entries are inflated in one call, large ones streamed: both say the same.
TEST_F(DunzipExtract, OnlyDataThatEndsEarlyIsCalledTruncated)
{
    auto archiveOf = [](const ZipBuilder::Entry& entry) {
        ZipBuilder builder;
        builder.add(entry);
        return builder.finish();
    };
    const std::string small = randomText(50000, 3);
    const std::string large(9 << 20, 'z'); // past the 8 MiB that are inflated in one call
    const std::string largeDeflated = deflateRaw(large);
    std::string flipped = deflateRaw(small, 0); // stored blocks: any byte may change and still inflate
    flipped[1000] ^= 0x20;
    ZipBuilder::Entry runsIntoDirectory = ZipBuilder::stored("x", "only these bytes");
    runsIntoDirectory.compressedSize = runsIntoDirectory.uncompressedSize = 5000;
    const std::string whole = archiveOf(ZipBuilder::deflated("x", deflateRaw(small), small));
    struct Case {
        const char* rule;
        std::string archive;
        std::string message;
    };
    const Case cases[] = {
        {"a stream that ends early",
         archiveOf(ZipBuilder::deflated("x", deflateRaw(small.substr(0, 20000)), small)),
         "x: the compressed data is damaged: it gives only 20000 of its declared 50000 bytes."},
        {"a large stream that ends early",
         archiveOf(ZipBuilder::deflated("x", deflateRaw(large.substr(0, 4 << 20)), large)),
         "x: the compressed data is damaged: it gives only 4194304 of its declared 9437184 bytes."},
        {"a large stream cut inside",
         archiveOf(ZipBuilder::deflated("x", largeDeflated.substr(0, largeDeflated.size() / 2), large)),
         "x: the compressed data is damaged."},
        {"a byte changed", archiveOf(ZipBuilder::deflated("x", flipped, small)),
         "x: CRC error: the data gives "},
        {"a size that runs into the directory", archiveOf(runsIntoDirectory),
         "x: the data is truncated: it runs into the central directory."},
        {"an archive cut inside its entry", whole.substr(0, whole.size() / 2),
         "The archive is truncated, or is one part of a split archive: its end of central directory "
         "record is missing."},
    };
    for (const Case& c : cases) {
        UnzipRun run = runDunzip(write(c.archive), "");
        EXPECT_NE(run.result, EngineResult::Ok) << c.rule;
        EXPECT_TRUE(run.mentioned(c.message)) << c.rule << ": " << run.allMessages();
    }
}

// Small entries are inflated in one call, large ones streamed; both stop at the declared size.
TEST_F(DunzipExtract, OutputBeyondTheDeclaredSizeIsStoppedOnBothInflatePaths)
{
    for (const size_t declared : {size_t{1000}, size_t{9} << 20}) {
        SCOPED_TRACE(declared);
        const std::string real(declared + (1 << 20), 'z');
        ZipBuilder builder;
        ZipBuilder::Entry bomb = ZipBuilder::deflated("bomb.bin", deflateRaw(real), real);
        bomb.uncompressedSize = static_cast<uint32_t>(declared);
        builder.add(bomb);
        fs::remove_all(out());
        UnzipRun run = runDunzip(write(builder.finish()), out());
        EXPECT_EQ(run.result, EngineResult::CrcError);
        EXPECT_TRUE(run.mentioned("bomb.bin: the data decodes to more than its declared " +
                                  std::to_string(declared) + " bytes"))
            << run.allMessages();
        EXPECT_TRUE(treeOf(out()).empty());
    }
}

TEST_F(DunzipExtract, OverlappingEntriesAreRefusedButTheirListingWorks)
{
    // Two central headers share one local header and its data: the shape of the smallest bombs.
    ZipBuilder builder;
    std::string kernel = std::string(100000, 'A');
    builder.add(ZipBuilder::deflated("one", deflateRaw(kernel), kernel));
    ZipBuilder::Entry second = builder.entries()[0];
    second.useCentralName = true;
    second.centralName = "two";
    builder.entries().push_back(second);
    std::string archive = write(builder.finish());
    for (const std::string& destination : {std::string(), out()}) {
        UnzipRun run = runDunzip(archive, destination);
        EXPECT_EQ(run.result, EngineResult::BadArchive);
        EXPECT_TRUE(run.mentioned("looks like a zip bomb")) << run.allMessages();
    }
    EXPECT_FALSE(fs::exists(out()));
}

TEST_F(DunzipExtract, LocalHeaderThatDisagreesIsNotTrusted)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("honest.txt", "data"));
    builder.entries()[0].useCentralName = true;
    builder.entries()[0].centralName = "liar.txt";
    builder.add(ZipBuilder::stored("sizes.txt", "12345"));
    builder.entries()[1].uncompressedSize = builder.entries()[1].compressedSize = 4;
    UnzipRun run = runDunzip(write(builder.finish()), "");
    EXPECT_EQ(run.result, EngineResult::BadArchive);
    EXPECT_TRUE(run.mentioned("liar.txt: the local header disagrees with the central directory (name)"));
    EXPECT_TRUE(
        run.mentioned("sizes.txt: the local header disagrees with the central directory (CRC or sizes)"));
}

TEST_F(DunzipExtract, ArchivesThatCannotBeReadOneWayAreRefused)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("a", "a"));
    std::string plain = builder.finish();
    std::string directory = ZipBuilder::centralHeader(builder.entries()[0]);
    uint32_t directoryOffset = static_cast<uint32_t>(plain.size() - 22 - directory.size());
    std::string body = plain.substr(0, plain.size() - 22);
    // The comment of the real end record holds a copy of the directory and an end record for it.
    uint32_t copyOffset = static_cast<uint32_t>(plain.size());
    std::string inner = directory + ZipBuilder::endRecord(0, 0, 1, 1, static_cast<uint32_t>(directory.size()),
                                                          copyOffset, "");
    std::string ambiguous = body + ZipBuilder::endRecord(0, 0, 1, 1, static_cast<uint32_t>(directory.size()),
                                                         directoryOffset, inner);

    ZipBuilder big;
    big.add(ZipBuilder::stored("b", "b"));
    ZipBuilder::End zip64End;
    zip64End.entriesOnThisDisk = zip64End.entriesTotal = 0xFFFF;
    std::string zip64 = big.finish(zip64End);

    struct Case {
        const char* rule;
        std::string bytes;
        uint16_t result;
        const char* message;
    };
    const Case cases[] = {
        {"two consistent end records", ambiguous, EngineResult::BadArchive, "ambiguous"},
        {"ZIP64 counts without their record", zip64, EngineResult::BadArchive,
         "ZIP64 archive whose ZIP64 end of central directory record is missing"},
        {"not an archive", std::string(1000, 'x'), EngineResult::BadArchive, "not a ZIP archive"},
        {"end record pointing nowhere", body + ZipBuilder::endRecord(0, 0, 1, 1, 46, 5, ""),
         EngineResult::BadArchive, "damaged"},
        {"spanned", body + ZipBuilder::endRecord(1, 1, 1, 1, 47, directoryOffset, ""),
         EngineResult::BadArchive, "last part of a split archive"},
    };
    for (const Case& c : cases) {
        UnzipRun run = runDunzip(write(c.bytes), out());
        EXPECT_EQ(run.result, c.result) << c.rule;
        EXPECT_TRUE(run.mentioned(c.message)) << c.rule << ": " << run.allMessages();
    }
    EXPECT_FALSE(fs::exists(out()));
}

TEST_F(DunzipExtract, DuplicateNamesAreReportedAndOnlyTheFirstExtracted)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("same.txt", "first")).add(ZipBuilder::stored("same.txt", "second"));
    UnzipRun run = runDunzip(write(builder.finish()), out());
    EXPECT_EQ(run.result, EngineResult::EntriesSkipped);
    EXPECT_EQ(readFile(out() + "/same.txt"), "first");
    EXPECT_TRUE(run.mentioned("more than one entry of that name"));
}

TEST_F(DunzipExtract, CancelStopsAtOnceAndLeavesNoPartialFile)
{
    std::string big = randomText(20 << 20, 3); // streamed, not inflated in one call
    ZipBuilder builder;
    builder.add(ZipBuilder::deflated("big.txt", deflateRaw(big, 1), big));
    std::string archive = write(builder.finish());
    int calls = 0;
    UnzipRun run = runDunzip(archive, out(), {}, [&](const std::string& text) {
        return text == "Inflating: big.txt" && ++calls == 3 ? 1 : 0;
    });
    EXPECT_EQ(run.result, EngineResult::Cancelled);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(treeOf(out()).empty());
}

TEST_F(DunzipExtract, DeepPathsWorkAndOverlongComponentsFailAlone)
{
    std::string deep;
    for (int i = 0; i < 60; ++i)
        deep += std::string(100, 'd') + "/";
    deep += "leaf.txt"; // about 6,000 bytes: longer than PATH_MAX
    ZipBuilder builder;
    builder.add(ZipBuilder::stored(deep, "deep"))
        .add(ZipBuilder::stored(std::string(300, 'n'), "long"))
        .add(ZipBuilder::stored("fine.txt", "fine"));
    UnzipRun run = runDunzip(write(builder.finish()), out());
    EXPECT_EQ(run.result, EngineResult::CannotCreate) << run.allMessages();
    EXPECT_EQ(readFile(out() + "/fine.txt"), "fine");
    EXPECT_TRUE(run.mentioned("Cannot create nnnn"));
    EXPECT_TRUE(runQuietly("cd '" + out() + "' && find . -name leaf.txt | grep -q leaf.txt"));
}

TEST_F(DunzipExtract, NoDirectoryNamesAndSelectionByPattern)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("docs/Readme.TXT", "r"))
        .add(ZipBuilder::stored("docs/deep/notes.txt", "n"))
        .add(ZipBuilder::stored("image.png", "i"));
    std::string archive = write(builder.finish());
    struct Case {
        const char* specification;
        bool recurse;
        bool noDirectoryNames;
        std::vector<std::string> tree;
    };
    const Case cases[] = {
        {"*.txt", false, false, {"docs/", "docs/Readme.TXT", "docs/deep/", "docs/deep/notes.txt"}},
        {"\"docs/readme.txt\" image.png", false, false, {"docs/", "docs/Readme.TXT", "image.png"}},
        {"notes.txt", false, false, {}},
        {"notes.txt", true, false, {"docs/", "docs/deep/", "docs/deep/notes.txt"}},
        {"docs/*", false, true, {"Readme.TXT", "notes.txt"}},
    };
    for (const Case& c : cases) {
        fs::remove_all(out());
        UnzipRun run = runDunzip(archive, out(), [&](UnzipCommand& command) {
            command.itemSpecification = c.specification;
            command.recursePathInformation = c.recurse;
            command.noDirectoryNames = c.noDirectoryNames;
        });
        EXPECT_EQ(run.result, c.tree.empty() ? EngineResult::NothingToDo : EngineResult::Ok)
            << c.specification;
        if (!c.tree.empty()) {
            EXPECT_EQ(treeOf(out()), c.tree) << c.specification;
        }
    }
}

TEST_F(DunzipExtract, ItemsThatMatchNothingAreNamedAndFailTheRunWhileTheOthersAreDone)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("found.txt", "f")).add(ZipBuilder::stored("other.txt", "o"));
    const std::string archive = write(builder.finish());
    for (const std::string& destination : {std::string(), out()}) {
        SCOPED_TRACE(destination.empty() ? "test" : "extract");
        UnzipRun run = runDunzip(archive, destination, [](UnzipCommand& c) {
            c.itemSpecification = "found.txt \"lost.txt\" *.png";
        });
        EXPECT_EQ(run.result, EngineResult::EntriesSkipped) << run.allMessages();
        EXPECT_TRUE(run.mentioned("No entry of the archive matches lost.txt.")) << run.allMessages();
        EXPECT_TRUE(run.mentioned("No entry of the archive matches *.png.")) << run.allMessages();
        EXPECT_TRUE(run.mentioned("; 2 names matched no entry.")) << run.allMessages();
    }
    EXPECT_EQ(treeOf(out()), std::vector<std::string>{"found.txt"});
}

// More entries than a 16-bit count holds, as writers without ZIP64 records store them (the count
// keeps its low 16 bits), named one by one as a selection of a whole archive is passed: every entry
// is tested once, with the overlap and duplicate checks over all of them. A count whose low bits
// disagree is still a damaged directory.
TEST_F(DunzipExtract, TestsEveryEntryOfALargeArchiveNamedOneByOne)
{
    constexpr int Entries = 70000;
    ZipBuilder builder;
    std::string names;
    for (int i = 0; i < Entries; ++i) {
        const std::string name = "dir" + std::to_string(i % 100) + "/entry" + std::to_string(i);
        builder.add(ZipBuilder::stored(name, std::to_string(i)));
        names += "\"" + name + "\" ";
    }
    auto withCount = [&](int64_t count) {
        ZipBuilder::End end;
        end.entriesOnThisDisk = end.entriesTotal = count;
        return ZipBuilder(builder).finish(end);
    };
    UnzipRun run = runDunzip(write(withCount(Entries - 65536)), "",
                             [&](UnzipCommand& c) { c.itemSpecification = names.c_str(); });
    EXPECT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_TRUE(run.mentioned("No errors detected in 70000 entries.")) << run.allMessages();

    UnzipRun wrong = runDunzip(write(withCount(Entries - 65537), "wrong.zip"), "");
    EXPECT_EQ(wrong.result, EngineResult::BadArchive);
    EXPECT_TRUE(wrong.mentioned("it holds 70000 entries, its end record counts 4463."))
        << wrong.allMessages();
}

TEST_F(DunzipExtract, WritesALogWhenAsked)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("logged.txt", "x"));
    ScopedEnvironment state("XDG_STATE_HOME", work.file("state"));
    UnzipRun run = runDunzip(write(builder.finish()), out(), [](UnzipCommand& c) { c.writeLog = 1; });
    EXPECT_EQ(run.result, EngineResult::Ok);
    std::string log = readFile(work.file("state/quarvo/unzip.log"));
    EXPECT_NE(log.find("Extracted logged.txt"), std::string::npos) << log;
}

std::string zip64Block(uint64_t value)
{
    std::string block("\x01\x00\x08\x00", 4);
    putLE32(block, static_cast<uint32_t>(value));
    putLE32(block, static_cast<uint32_t>(value >> 32));
    return block;
}

TEST_F(DunzipExtract, ShiftedAndZip64ArchivesAreReadOnlyWhenTheirPositionsHoldTogether)
{
    const std::string stub(777, 'S');
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("a", "alpha"));
    const std::string plain = builder.finish();
    const uint32_t directoryOffset = static_cast<uint32_t>(plain.size() - 22 - 46 - 1);

    UnzipRun joined = runDunzip(write(stub + plain), out());
    ASSERT_EQ(joined.result, EngineResult::Ok) << joined.allMessages();
    EXPECT_EQ(readFile(out() + "/a"), "alpha");
    fs::remove_all(out());

    // The stored offset of the one entry puts its local header past the end once shifted.
    ZipBuilder farOffset;
    farOffset.add(ZipBuilder::stored("a", "alpha"));
    farOffset.entries()[0].localHeaderOffset = 0x10000;
    // A central ZIP64 field whose offset lies beyond the file, and one whose size needs 64 bits.
    ZipBuilder lyingOffset;
    lyingOffset.add(ZipBuilder::stored("a", "alpha"));
    lyingOffset.entries()[0].localHeaderOffset = 0xFFFFFFFF;
    lyingOffset.entries()[0].extra = zip64Block(uint64_t{1} << 40);
    ZipBuilder hugeSize;
    hugeSize.add(ZipBuilder::stored("a", "alpha"));
    hugeSize.entries()[0].uncompressedSize = 0xFFFFFFFF;
    hugeSize.entries()[0].extra = zip64Block(uint64_t{1} << 33);

    struct Case {
        const char* rule;
        std::string bytes;
        uint16_t result;
        const char* message;
    };
    const Case cases[] = {
        // The directory lies before its recorded offset: shifting back would point before the file.
        {"offset past the directory",
         plain.substr(0, plain.size() - 22) + ZipBuilder::endRecord(0, 0, 1, 1, 47, directoryOffset + 9, ""),
         EngineResult::BadArchive, "no end of central directory record points at it"},
        {"shifted offset past the end", stub + farOffset.finish(), EngineResult::BadArchive,
         "beyond the end"},
        {"lying ZIP64 offset", lyingOffset.finish(), EngineResult::BadArchive, "ZIP64 extra field"},
        {"ZIP64 size the local header denies", hugeSize.finish(), EngineResult::BadArchive,
         "disagrees with the central directory (CRC or sizes)"},
    };
    for (const Case& c : cases) {
        UnzipRun run = runDunzip(write(c.bytes), out());
        EXPECT_EQ(run.result, c.result) << c.rule;
        EXPECT_TRUE(run.mentioned(c.message)) << c.rule << ": " << run.allMessages();
    }
    EXPECT_FALSE(fs::exists(out() + "/a"));
}

TEST_F(DunzipExtract, TheUnicodePathFieldNamesTheFileWhenItMatches)
{
    // Info-ZIP stores a name in the local character set and adds its UTF-8 form with the CRC-32 of
    // the stored bytes; a stale field (the entry was renamed since) is ignored.
    auto unicodePath = [](const std::string& stored, const std::string& utf8, uint32_t flip) {
        std::string block("up", 2);
        putLE16(block, static_cast<uint32_t>(5 + utf8.size()));
        block += '\x01';
        putLE32(block, crc32Of(stored) ^ flip);
        return block + utf8;
    };
    ZipBuilder builder;
    ZipBuilder::Entry matching = ZipBuilder::stored("caf\x82.txt", "one");
    matching.extra = unicodePath(matching.name, "\xe2\x82\xac-caf\xc3\xa9.txt", 0);
    builder.add(matching);
    ZipBuilder::Entry stale = ZipBuilder::stored("na\x8bve.txt", "two");
    stale.extra = unicodePath(stale.name, "renamed.txt", 1);
    builder.add(stale);
    UnzipRun run = runDunzip(write(builder.finish()), out());
    ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_EQ(readFile(out() + "/\xe2\x82\xac-caf\xc3\xa9.txt"), "one");
    EXPECT_EQ(readFile(out() + "/na\xc3\xafve.txt"), "two");
    EXPECT_FALSE(fs::exists(out() + "/renamed.txt"));
}

} // namespace
} // namespace quarvo

namespace quarvo {
namespace {

using namespace quarvo::testing;

// In a directory the run made itself nothing needs looking up, except what the run put there: a
// file of an earlier entry whose name was not its path, or a directory.
TEST(DunzipExtractFresh, EntriesThatMeetInADirectoryTheRunMadeFindEachOther)
{
    struct Case {
        const char* first;
        const char* second;
        uint32_t overwrite;
        const char* message; // empty: the second entry is written
        const char* content; // of fresh/x afterwards
    };
    const Case cases[] = {
        {"fresh/./x", "fresh/x", 0, "Skipped fresh/x: a file of that name exists.", "first"},
        {"fresh/./x", "fresh/x", 1, "", "second"},
        {"fresh/x/", "fresh/x", 1, "Cannot create fresh/x: a directory of that name exists.", ""},
        {"fresh/x/y", "fresh/x", 1, "Cannot create fresh/x: a directory of that name exists.", ""},
        {"fresh/y", "fresh/x", 0, "", "second"},
    };
    for (const Case& c : cases) {
        for (const char* threads : {"1", "2"}) {
            ScopedEnvironment setting("QUARVO_UNZIP_THREADS", threads);
            TemporaryDirectory work;
            ZipBuilder builder;
            builder.add(ZipBuilder::stored(c.first, std::string(c.first).ends_with("/") ? "" : "first"))
                .add(ZipBuilder::stored(c.second, "second"));
            writeFile(work.path() / "a.zip", builder.finish());
            UnzipRun run = runDunzip(work.file("a.zip"), work.file("out"),
                                     [&](UnzipCommand& command) { command.overwrite = c.overwrite; });
            const std::string label = std::string(c.first) + " then " + c.second + " on " + threads;
            if (*c.message)
                EXPECT_TRUE(run.mentioned(c.message)) << label << "\n" << run.allMessages();
            else
                EXPECT_EQ(run.result, EngineResult::Ok) << label << "\n" << run.allMessages();
            if (*c.content)
                EXPECT_EQ(readFile(work.file("out/fresh/x")), c.content) << label;
        }
    }
}

} // namespace
} // namespace quarvo
