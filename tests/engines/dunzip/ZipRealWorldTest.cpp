// Archives as other programs really write them, with the habits that a reader of their output must
// know: names in the local character set, "./" in front of every name, "\" from Windows, ZIP64
// records, data after the last entry cut short.

#include "DunzipTestSupport.h"
#include "engines/api/EngineResult.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quarvo {
namespace {

using namespace quarvo::testing;
namespace fs = std::filesystem;

class ZipRealWorld : public ::testing::Test {
  protected:
    std::string write(const std::string& bytes, const std::string& name = "archive.zip")
    {
        writeFile(work.path() / name, bytes);
        return work.file(name);
    }
    std::string out() const { return work.file("out"); }

    // Tools write non-ASCII names as they are only in a UTF-8 locale.
    ScopedEnvironment locale{"LC_ALL", "C.UTF-8"};
    TemporaryDirectory work;
};

ZipBuilder::Entry madeOn(uint8_t host, const std::string& name, const std::string& data)
{
    ZipBuilder::Entry entry = ZipBuilder::stored(name, data);
    entry.versionMadeBy = static_cast<uint16_t>(host << 8 | 30);
    return entry;
}

// Each producer archives the same tree; what we extract must be what unzip extracts, names to the
// byte, and a test must pass. Info-ZIP's zip stores "café.txt" as UTF-8 without flag bit 11, and
// bsdtar archiving "." puts "./" in front of every name.
TEST_F(ZipRealWorld, ExtractsWhatUnzipExtracts)
{
    if (!haveTool("unzip"))
        GTEST_SKIP() << "unzip is not installed";
    writeFile(work.path() / "in/caf\xC3\xA9.txt", "caf\xC3\xA9\n");
    writeFile(work.path() / "in/sub/n\xC3\xA4me \xE2\x82\xAC.txt", "euro\n");
    writeFile(work.path() / "in/plain.txt", randomBytes(5000, 4));
    struct Producer {
        const char* tool;
        const char* command; // run inside in/, writes ../archive.zip
    };
    const Producer producers[] = {
        {"zip", "zip -qr ../archive.zip ."},
        {"bsdtar", "bsdtar --format zip -cf ../archive.zip ."},
        {"7z", "7z a -tzip ../archive.zip . >/dev/null"},
        {"python3", "python3 -c \"import zipfile, os\nwith zipfile.ZipFile('../archive.zip', 'w') as z:\n"
                    "  for d, _, fs in os.walk('.'):\n    [z.write(os.path.join(d, f)) for f in fs]\""},
    };
    for (const Producer& producer : producers) {
        SCOPED_TRACE(producer.tool);
        if (!haveTool(producer.tool))
            continue;
        fs::remove(work.file("archive.zip"));
        fs::remove_all(out());
        fs::remove_all(work.file("theirs"));
        ASSERT_TRUE(runQuietly("cd '" + work.file("in") + "' && " + producer.command));
        ASSERT_TRUE(runQuietly("unzip -q '" + work.file("archive.zip") + "' -d '" + work.file("theirs") + "'"));
        UnzipRun run = runDunzip(work.file("archive.zip"), out());
        ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
        EXPECT_EQ(treeOf(out()), treeOf(work.file("theirs")));
        EXPECT_TRUE(runQuietly("diff -r '" + out() + "' '" + work.file("theirs") + "'"));
        UnzipRun test = runDunzip(work.file("archive.zip"), "");
        EXPECT_EQ(test.result, EngineResult::Ok) << test.allMessages();
    }
}

// "\" separates directories only in names written by MS-DOS, OS/2 and Windows programs; on Unix it
// is a character of the file name. "." components are dropped wherever they stand.
TEST_F(ZipRealWorld, SeparatorsFollowTheHostThatMadeTheEntry)
{
    struct Case {
        uint8_t host;
        std::string name;
        std::string extractedAs; // empty: refused
    };
    const Case cases[] = {
        {3, "./dot.txt", "dot.txt"},
        {3, "./", ""},
        {3, "sub/./inner.txt", "sub/inner.txt"},
        {3, "unix\\name.txt", "unix\\name.txt"},
        {3, "..\\unix.txt", "..\\unix.txt"},
        {0, "dos\\dir\\a.txt", "dos/dir/a.txt"},
        {6, "os2\\b.txt", "os2/b.txt"},
        {10, "ntfs\\c.txt", "ntfs/c.txt"},
        {14, "vfat\\d.txt", "vfat/d.txt"},
        {14, "..\\escape.txt", ""},
        {10, "C:\\drive.txt", ""},
    };
    ZipBuilder builder;
    for (const Case& c : cases)
        builder.add(madeOn(c.host, c.name, c.name.ends_with('/') ? "" : c.name));
    const std::string archive = write(builder.finish());
    UnzipRun run = runDunzip(archive, out());
    EXPECT_EQ(run.result, EngineResult::EntriesSkipped) << run.allMessages();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.extractedAs.empty()) {
            EXPECT_EQ(readFile(out() + "/" + c.extractedAs), c.name);
        } else if (!c.name.ends_with('/')) {
            EXPECT_TRUE(run.mentioned("Refused " + c.name)) << run.allMessages();
        }
    }
    EXPECT_FALSE(fs::exists(work.file("escape.txt")));
    EXPECT_TRUE(run.mentioned("Extracted 9 of 11 entries; 2 had problems.")) << run.allMessages();
}

// Testing never skips the data of an entry because of its name: a name that extraction would refuse
// is reported on its own, and damage in that entry's data is found as in any other.
TEST_F(ZipRealWorld, TestChecksTheDataOfEveryEntryWhateverItsName)
{
    ZipBuilder builder;
    ZipBuilder::Entry damaged = ZipBuilder::stored("../damaged.txt", "data");
    damaged.crc32 ^= 1;
    builder.add(damaged)
        .add(ZipBuilder::stored("../sound.txt", "data"))
        .add(ZipBuilder::stored("./fine.txt", "data"));
    UnzipRun test = runDunzip(write(builder.finish()), "");
    EXPECT_EQ(test.result, EngineResult::CrcError) << test.allMessages();
    EXPECT_TRUE(test.mentioned("../damaged.txt: CRC error")) << test.allMessages();
    EXPECT_TRUE(test.mentioned("Unsafe name ../sound.txt: the name has a \"..\" component")) << test.allMessages();
    EXPECT_FALSE(test.mentioned("fine.txt")) << test.allMessages();
    EXPECT_TRUE(test.mentioned("Tested 1 of 3 entries; 2 had problems.")) << test.allMessages();
}

} // namespace
} // namespace quarvo
