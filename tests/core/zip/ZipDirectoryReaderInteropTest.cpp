// Archives written by other programs, read by our directory reader. Each test makes its archive with
// the real tool and is skipped when the tool is not installed.

#include "core/zip/ZipDirectoryReader.h"
#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>

namespace quarvo {
namespace {

using testing::TemporaryDirectory;

bool haveTool(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

bool run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string randomBytes(size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

class ZipDirectoryReaderInterop : public ::testing::Test {
  protected:
    void SetUp() override
    {
        files["hello.txt"] = [] {
            std::string text;
            for (int i = 0; i < 100; ++i)
                text += "hello world\n";
            return text;
        }();
        files["sub/data.bin"] = randomBytes(5000, 1);
        files["empty.txt"] = "";
        for (const auto& [name, bytes] : files)
            testing::writeFile(directory.path() / "in" / name, bytes);
    }

    std::string in() const { return "cd '" + directory.file("in") + "' && "; }

    // Reads the archive and checks every file made in SetUp is there with its size and CRC, and that
    // the totals add up.
    void expectFilesListed(const std::string& archive, const std::string& comment = {})
    {
        testing::ScriptedUserInterface ui;
        ZipDirectoryReader reader(ui, archive);
        ASSERT_TRUE(reader.readDirectory());
        std::map<std::string, const ZipEntry*> byName;
        uint32_t total = 0;
        for (const auto& entry : reader.entries()) {
            byName[entry->name] = entry.get();
            total += entry->uncompressedSize;
        }
        for (const auto& [name, bytes] : files) {
            ASSERT_TRUE(byName.count(name)) << name;
            EXPECT_EQ(byName[name]->uncompressedSize, bytes.size()) << name;
            EXPECT_EQ(byName[name]->crc32, testing::crc32Of(bytes)) << name;
        }
        EXPECT_EQ(reader.archive().totalUncompressed, total);
        EXPECT_EQ(reader.archive().entriesTotal, reader.entries().size());
        if (!comment.empty()) {
            EXPECT_EQ(reader.archive().archiveComment, comment);
        }
    }

    TemporaryDirectory directory;
    std::map<std::string, std::string> files;
};

TEST_F(ZipDirectoryReaderInterop, InfoZipArchiveWithComment)
{
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    std::string archive = directory.file("infozip.zip");
    ASSERT_TRUE(run(in() + "zip -q -r -X '" + archive + "' hello.txt sub empty.txt"));
    ASSERT_TRUE(run("printf 'made by zip\\n.\\n' | zip -q -z '" + archive + "'"));
    expectFilesListed(archive, "made by zip");
}

TEST_F(ZipDirectoryReaderInterop, PythonZipfileArchive)
{
    if (!haveTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    std::string archive = directory.file("python.zip");
    ASSERT_TRUE(run(in() + "python3 -c \"import zipfile\nwith zipfile.ZipFile('" + archive +
                    "', 'w', zipfile.ZIP_DEFLATED) as z:\n    z.comment = b'from python'\n    "
                    "[z.write(n) for n in ('hello.txt', 'sub/data.bin', 'empty.txt')]\""));
    expectFilesListed(archive, "from python");
}

TEST_F(ZipDirectoryReaderInterop, SevenZipArchive)
{
    if (!haveTool("7z"))
        GTEST_SKIP() << "7z is not installed";
    std::string archive = directory.file("seven.zip");
    ASSERT_TRUE(run(in() + "7z a -tzip '" + archive + "' hello.txt sub empty.txt"));
    expectFilesListed(archive);
}

TEST_F(ZipDirectoryReaderInterop, BsdtarArchive)
{
    if (!haveTool("bsdtar"))
        GTEST_SKIP() << "bsdtar is not installed";
    std::string archive = directory.file("bsdtar.zip");
    ASSERT_TRUE(run(in() + "bsdtar --format zip -cf '" + archive + "' hello.txt sub empty.txt"));
    expectFilesListed(archive);
}

TEST_F(ZipDirectoryReaderInterop, LastPartOfAnInfoZipSplitSet)
{
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    for (int i = 0; i < 3; ++i)
        testing::writeFile(directory.path() / "in" / ("big" + std::to_string(i)),
                           randomBytes(100000, 10 + i));
    std::string archive = directory.file("split.zip");
    ASSERT_TRUE(run(in() + "zip -q -s 64k '" + archive + "' big0 big1 big2"));
    testing::ScriptedUserInterface ui;
    ZipDirectoryReader reader(ui, archive);
    ASSERT_TRUE(reader.readDirectory());
    EXPECT_TRUE(reader.archive().spanned);
    EXPECT_GT(reader.archive().thisDisk, 0);
    ASSERT_EQ(reader.entries().size(), 3u);
    EXPECT_EQ(reader.entries()[1]->name, "big1");
    EXPECT_EQ(reader.entries()[1]->crc32, testing::crc32Of(randomBytes(100000, 11)));
    EXPECT_GT(reader.entries()[2]->diskNumberStart, 0);
}

TEST_F(ZipDirectoryReaderInterop, SelfExtractorMadeByPrependingAStubAndAdjusting)
{
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    std::string plain = directory.file("plain.zip");
    ASSERT_TRUE(run(in() + "zip -q -r -X '" + plain + "' hello.txt sub empty.txt"));
    std::string stub(0x200, '\0');
    stub[0] = 'M', stub[1] = 'Z', stub[0x18] = 0x40, stub[0x3C] = char(0x80), stub[0x80] = 'N',
    stub[0x81] = 'E';
    std::string sfx = directory.file("setup.exe");
    testing::writeFile(sfx, stub + testing::readFile(plain));
    ASSERT_TRUE(run("zip -q -A '" + sfx + "'"));
    expectFilesListed(sfx);
    testing::ScriptedUserInterface ui;
    ZipDirectoryReader reader(ui, sfx);
    ASSERT_TRUE(reader.readDirectory());
    EXPECT_EQ(reader.archive().selfExtractorKind, 2);
    EXPECT_GE(reader.entries()[0]->localHeaderOffset, stub.size());
}

} // namespace
} // namespace quarvo
