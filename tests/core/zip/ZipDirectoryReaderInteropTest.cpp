// Archives written by other programs, read by our directory reader. Each test makes its archive with
// the real tool and is skipped when the tool is not installed.

#include "core/zip/ZipDirectoryReader.h"
#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include "core/ui/DialogResult.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace quarvo {
namespace {

using testing::randomBytes;
using testing::TemporaryDirectory;

bool haveTool(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

bool run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
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
        uint64_t total = 0;
        for (const auto& entry : reader.entries()) {
            byName[entry->name] = entry.get();
            total += entry->uncompressedSize;
        }
        for (const auto& [name, bytes] : files) {
            ASSERT_TRUE(byName.count(name)) << name;
            EXPECT_EQ(byName[name]->uncompressedSize, bytes.size()) << name;
            EXPECT_EQ(byName[name]->crc32, testing::crc32Of(bytes)) << name;
        }
        uint64_t totalCompressed = 0;
        for (const auto& entry : reader.entries())
            totalCompressed += entry->compressedSize;
        EXPECT_EQ(reader.archive().totalUncompressed, total);
        EXPECT_EQ(reader.archive().totalCompressed, totalCompressed);
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

// Plays the user of a split set: at each "Insert disk N." the part N of the set takes the place of
// the file being read, the way a diskette is swapped in the same drive.
class PartSwappingUserInterface : public testing::ScriptedUserInterface {
  public:
    PartSwappingUserInterface(std::string path, std::string setBase, int parts)
        : m_path(std::move(path)), m_setBase(std::move(setBase)), m_parts(parts)
    {
        std::filesystem::copy_file(partPath(parts), m_path,
                                   std::filesystem::copy_options::overwrite_existing);
    }

    int showMessage(const MessageBoxRequest& request) override
    {
        asked.push_back(request.text);
        int disk = 0;
        if (std::sscanf(request.text.c_str(), "Insert disk %d.", &disk) == 1 && disk >= 1 && disk <= m_parts)
            std::filesystem::copy_file(partPath(disk), m_path,
                                       std::filesystem::copy_options::overwrite_existing);
        return DialogResult::Ok;
    }

    std::vector<std::string> asked;

  private:
    // Info-ZIP names the parts NAME.z01, NAME.z02, ... and the last one NAME.zip.
    std::string partPath(int disk) const
    {
        if (disk == m_parts)
            return m_setBase + ".zip";
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, ".z%02d", disk);
        return m_setBase + suffix;
    }

    std::string m_path;
    std::string m_setBase;
    int m_parts;
};

TEST_F(ZipDirectoryReaderInterop, AnInfoZipSplitSetWhoseDirectorySpansSeveralParts)
{
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    // 1500 entries with long names make a directory of about 130 KiB: it starts two parts before
    // the last.
    const std::string many = directory.file("many");
    std::map<std::string, std::string> contents;
    for (int i = 1; i <= 1500; ++i) {
        std::string name = "file_with_a_rather_long_name_number_" + std::to_string(i) + ".txt";
        contents[name] = "x" + std::to_string(i);
        testing::writeFile(std::filesystem::path(many) / name, contents[name]);
    }
    const std::string setBase = directory.file("set");
    ASSERT_TRUE(run("cd '" + many + "' && zip -q -s 64k '" + setBase + ".zip' *.txt"));
    int parts = 1;
    while (std::filesystem::exists(setBase + ".z" + (parts < 10 ? "0" : "") + std::to_string(parts)))
        ++parts;
    ASSERT_GT(parts, 2);

    const std::string drive = directory.file("drive.zip");
    PartSwappingUserInterface ui(drive, setBase, parts);
    ZipDirectoryReader reader(ui, drive);
    reader.archive().onRemovableDrive = true;
    ASSERT_TRUE(reader.readDirectory());
    const ZipArchiveRecord& archive = reader.archive();
    EXPECT_TRUE(archive.spanned);
    EXPECT_EQ(archive.thisDisk, parts - 1);
    EXPECT_LT(archive.directoryStartDisk, archive.thisDisk);
    ASSERT_EQ(reader.entries().size(), 1500u);
    EXPECT_EQ(archive.entriesTotal, 1500);
    // The first question names the part where the directory starts; then each part in turn.
    ASSERT_FALSE(ui.asked.empty());
    EXPECT_EQ(ui.asked.front(), "Insert disk " + std::to_string(archive.directoryStartDisk + 1) + ".");
    EXPECT_EQ(ui.asked.back(), "Insert disk " + std::to_string(parts) + ".");
    uint64_t total = 0;
    for (size_t i = 0; i < reader.entries().size(); ++i) {
        const ZipEntry& entry = *reader.entries()[i];
        ASSERT_TRUE(contents.count(entry.name)) << entry.name;
        EXPECT_EQ(entry.crc32, testing::crc32Of(contents[entry.name])) << entry.name;
        EXPECT_EQ(entry.uncompressedSize, contents[entry.name].size()) << entry.name;
        EXPECT_EQ(entry.index, static_cast<int32_t>(i));
        total += entry.uncompressedSize;
    }
    EXPECT_EQ(archive.totalUncompressed, total);
}

TEST_F(ZipDirectoryReaderInterop, UnzipsfxSelfExtractor)
{
    if (!haveTool("zip") || !haveTool("unzipsfx"))
        GTEST_SKIP() << "zip or unzipsfx is not installed";
    std::string plain = directory.file("plain.zip");
    ASSERT_TRUE(run(in() + "zip -q -r -X '" + plain + "' hello.txt sub empty.txt"));
    ASSERT_TRUE(run("printf 'self extracting\n.\n' | zip -q -z '" + plain + "'"));
    std::string sfx = directory.file("setup");
    // In parentheses: run() sends the output of the whole command elsewhere.
    ASSERT_TRUE(run("(cat \"$(command -v unzipsfx)\" '" + plain + "' > '" + sfx + "')"));
    ASSERT_TRUE(run("zip -q -A '" + sfx + "'"));
    const size_t stubSize = std::filesystem::file_size(sfx) - std::filesystem::file_size(plain);
    expectFilesListed(sfx, "self extracting");
    testing::ScriptedUserInterface ui;
    ZipDirectoryReader reader(ui, sfx);
    ASSERT_TRUE(reader.readDirectory());
    // The stub is an ELF program, not an MS-DOS one: the kind stays plain.
    EXPECT_EQ(reader.archive().selfExtractorKind, 0);
    EXPECT_GE(reader.entries()[0]->localHeaderOffset, stubSize);
    EXPECT_EQ(reader.archive().directoryOffset + reader.archive().directorySize,
              std::filesystem::file_size(sfx) - 22 - reader.archive().archiveCommentLength);
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

TEST_F(ZipDirectoryReaderInterop, ArchivesWithDataInFrontOfThem)
{
    // A stub joined to the archive with cat: no stored offset counts it, and every reader of the
    // format finds the directory right before the end record instead.
    testing::writeFile(directory.path() / "stub.bin", randomBytes(3000, 2));
    if (haveTool("zip")) {
        std::string archive = directory.file("infozip.zip");
        ASSERT_TRUE(run(in() + "zip -q -r -X '" + archive + "' hello.txt sub empty.txt"));
        ASSERT_TRUE(run("(cat '" + directory.file("stub.bin") + "' '" + archive + "' > '" +
                        directory.file("joined.zip") + "')"));
        expectFilesListed(directory.file("joined.zip"));
    }
    if (haveTool("python3")) {
        std::string archive = directory.file("python.zip");
        ASSERT_TRUE(run(in() + "python3 -c \"import zipfile\nwith zipfile.ZipFile('" + archive +
                        "', 'w', zipfile.ZIP_DEFLATED) as z:\n    for n in ['hello.txt', 'sub/data.bin', "
                        "'empty.txt']: z.write(n)\""));
        ASSERT_TRUE(run("(cat '" + directory.file("stub.bin") + "' '" + archive + "' > '" +
                        directory.file("joined2.zip") + "')"));
        expectFilesListed(directory.file("joined2.zip"));
    }
    if (!haveTool("zip") && !haveTool("python3"))
        GTEST_SKIP() << "neither zip nor python3 is installed";
}

TEST_F(ZipDirectoryReaderInterop, InfoZipZip64RecordsThatCarryNothing)
{
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    // -fz writes ZIP64 end records and extra fields for small files.
    std::string forced = directory.file("forced.zip");
    ASSERT_TRUE(run(in() + "zip -q -r -X -fz '" + forced + "' hello.txt sub empty.txt"));
    expectFilesListed(forced);
    std::string piped = directory.file("piped.zip");
    ASSERT_TRUE(run(in() + "(zip -q -r -X - hello.txt sub empty.txt | cat > '" + piped + "')"));
    expectFilesListed(piped);
    // Data read from standard input into a pipe: ZIP64 records, extra fields and descriptors.
    std::string fromInput = directory.file("input.zip");
    ASSERT_TRUE(run(in() + "(zip -q - - < hello.txt | cat > '" + fromInput + "')"));
    testing::ScriptedUserInterface ui;
    ZipDirectoryReader reader(ui, fromInput);
    ASSERT_TRUE(reader.readDirectory());
    ASSERT_EQ(reader.entries().size(), 1u);
    EXPECT_EQ(reader.entries().front()->name, "-");
    EXPECT_EQ(reader.entries().front()->uncompressedSize, files["hello.txt"].size());
    EXPECT_EQ(reader.entries().front()->crc32, testing::crc32Of(files["hello.txt"]));
    std::string joined = directory.file("joined.zip");
    ASSERT_TRUE(run("((printf 'stub'; cat '" + forced + "') > '" + joined + "')"));
    expectFilesListed(joined);
}

TEST_F(ZipDirectoryReaderInterop, PythonZip64ArchiveWithMoreThan65535Entries)
{
    if (!haveTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    // Past 65,535 entries zipfile saturates the end record's counts and writes ZIP64 end records.
    const std::string archive = directory.file("many.zip");
    ASSERT_TRUE(run("python3 -c \"import sys, zipfile\n"
                    "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
                    "    for i in range(65600): z.writestr('e%d' % i, b'')\" '" +
                    archive + "'"));
    testing::ScriptedUserInterface ui;
    ZipDirectoryReader reader(ui, archive);
    ASSERT_TRUE(reader.readDirectory());
    EXPECT_EQ(reader.entries().size(), 65600u);
    EXPECT_EQ(reader.archive().entriesTotal, 65600u);
    EXPECT_EQ(reader.entries().back()->name, "e65599");
}

TEST_F(ZipDirectoryReaderInterop, InfoZipCommentHoldingAnEndRecordSignature)
{
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    // The comment holds "PK\5\6" and enough bytes after it to pass for a record pointing nowhere.
    const std::string archive = directory.file("commented.zip");
    const std::string comment = std::string("fake PK\x05\x06", 9) + std::string(18, '\x01') + " end";
    testing::writeFile(directory.file("comment.txt"), comment);
    ASSERT_TRUE(run(in() + "zip -q -r -X -z '" + archive + "' hello.txt sub empty.txt < '" +
                    directory.file("comment.txt") + "'"));
    expectFilesListed(archive);
}

} // namespace
} // namespace quarvo
