#include "core/zip/ZipDirectoryReader.h"
#include "core/ui/DialogResult.h"
#include "core/zip/ZipFormat.h"
#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

namespace quarvo {
namespace {

using testing::ScriptedUserInterface;
using testing::TemporaryDirectory;
using testing::ZipBuilder;

std::string twoEntryArchive(const std::string& comment = {})
{
    ZipBuilder builder;
    ZipBuilder::Entry first = ZipBuilder::stored("dir/first.txt", "first data");
    first.comment = "entry note";
    builder.add(first);
    builder.add(ZipBuilder::stored("second.bin", std::string(300, 'x')));
    return builder.finish({.comment = comment});
}

// The directory offset an archive's end record gives (its last field but the comment length).
uint32_t directoryOffsetOf(const std::string& archive)
{
    const size_t field = archive.size() - 6;
    uint32_t offset = 0;
    for (size_t i = 0; i < 4; ++i)
        offset |= uint32_t{static_cast<uint8_t>(archive[field + i])} << (8 * i);
    return offset;
}

std::vector<std::string> namesOf(const ZipEntryList& list)
{
    std::vector<std::string> names;
    for (const auto& entry : list)
        names.push_back(entry->name);
    return names;
}

// A stub of an MS-DOS program: "MZ", the relocation-table offset at 0x18, the new-header offset at
// 0x3C, and a new header at 0x40 beginning with newSignature.
std::string stub(uint16_t relocationOffset, const std::string& newSignature)
{
    std::string bytes(0x80, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x18] = static_cast<char>(relocationOffset & 0xFF);
    bytes[0x19] = static_cast<char>(relocationOffset >> 8);
    bytes[0x3C] = 0x40;
    bytes.replace(0x40, newSignature.size(), newSignature);
    return bytes;
}

class ZipDirectoryReaderTest : public ::testing::Test {
  protected:
    std::string write(const std::string& bytes, const std::string& name = "archive.zip")
    {
        testing::writeFile(directory.path() / name, bytes);
        return directory.file(name);
    }

    TemporaryDirectory directory;
    ScriptedUserInterface ui;
};

TEST_F(ZipDirectoryReaderTest, ReadsEntriesCommentsAndTotals)
{
    ZipDirectoryReader reader(ui, write(twoEntryArchive("archive comment")));
    ASSERT_TRUE(reader.readDirectory());
    ASSERT_EQ(namesOf(reader.entries()), (std::vector<std::string>{"dir/first.txt", "second.bin"}));
    const ZipEntry& first = *reader.entries()[0];
    EXPECT_EQ(first.crc32, testing::crc32Of("first data"));
    EXPECT_EQ(first.uncompressedSize, 10u);
    EXPECT_EQ(first.comment, "entry note");
    EXPECT_EQ(first.localHeaderOffset, 0u);
    EXPECT_EQ(reader.entries()[1]->index, 1);
    const ZipArchiveRecord& archive = reader.archive();
    EXPECT_EQ(archive.entriesTotal, 2);
    EXPECT_EQ(archive.archiveComment, "archive comment");
    EXPECT_EQ(archive.archiveCommentLength, 15);
    EXPECT_EQ(archive.totalUncompressed, 310u);
    EXPECT_EQ(archive.totalCompressed, 310u);
    EXPECT_EQ(archive.selfExtractorKind, 0);
    EXPECT_FALSE(archive.spanned);
    EXPECT_EQ(archive.fileStatus.size, std::filesystem::file_size(reader.path()));
    EXPECT_EQ(archive.fileStatus.path, reader.path());
    ASSERT_FALSE(ui.statusTexts().empty());
    EXPECT_EQ(ui.statusTexts().back(), "Reading: second.bin");
    EXPECT_EQ(ui.waitCursorDepth(), 0);
}

// An archive comment has no encoding flag: it is read like a name without flag bit 11.
TEST_F(ZipDirectoryReaderTest, TheArchiveCommentIsDecodedLikeAName)
{
    // "Grüße" in UTF-8 and in code page 437, where 0x81 is u with diaeresis and 0xE1 sharp s (0x81
    // cannot begin a UTF-8 sequence).
    const std::string utf8 = "Gr\xC3\xBC\xC3\x9F"
                             "e";
    const std::string codePage437 = "Gr\x81\xE1"
                                    "e";
    struct Case {
        const char* rule;
        std::string stored;
        std::string shown;
    };
    const Case cases[] = {
        {"valid UTF-8, as dzip writes it", utf8, utf8},
        {"code page 437, as MS-DOS writers did", codePage437, utf8},
        {"ASCII", "plain words", "plain words"},
    };
    for (const Case& c : cases) {
        ZipDirectoryReader reader(ui, write(twoEntryArchive(c.stored)));
        ASSERT_TRUE(reader.readDirectory()) << c.rule;
        EXPECT_EQ(reader.archive().archiveComment, c.shown) << c.rule;
        EXPECT_EQ(reader.archive().archiveCommentLength, c.stored.size()) << c.rule;
    }
}

TEST_F(ZipDirectoryReaderTest, EmptyArchiveIsNotProbedForAStub)
{
    ZipDirectoryReader plain(ui, write(ZipBuilder().finish(), "empty.zip"));
    EXPECT_TRUE(plain.readDirectory());
    EXPECT_TRUE(plain.entries().empty());
    // The same empty end record behind an "MZ" stub: directory offset 0 means no probe.
    ZipDirectoryReader behindStub(ui, write(stub(0x40, "NE") + ZipBuilder().finish(), "stub.exe"));
    EXPECT_FALSE(behindStub.readDirectory());
    EXPECT_EQ(behindStub.archive().selfExtractorKind, 0);
}

TEST_F(ZipDirectoryReaderTest, RecognisesSelfExtractorStubs)
{
    struct Case {
        const char* rule;
        std::string prefix;
        int kind;
    };
    const Case cases[] = {
        {"MZ with an NE header", stub(0x40, "NE"), 2},
        {"MZ with a PE header", stub(0x40, std::string("PE\0\0", 4)), 1},
        {"MZ with a relocation offset below 0x40", stub(0x3F, "NE"), 1},
        {"MZ whose new header lies past the end", stub(0x40, "NE").substr(0, 0x3C) + "\xFF\xFF\xFF\x7F", 1},
        {"no MZ", std::string(0x80, 'z'), 0},
    };
    for (const Case& c : cases) {
        ZipBuilder builder;
        builder.appendRaw(c.prefix).add(ZipBuilder::stored("in.txt", "data"));
        ZipDirectoryReader reader(ui, write(builder.finish(), "sfx.exe"));
        EXPECT_TRUE(reader.readDirectory()) << c.rule;
        EXPECT_EQ(reader.archive().selfExtractorKind, c.kind) << c.rule;
    }
}

TEST_F(ZipDirectoryReaderTest, ReadingAPlainArchiveKeepsTheKindFound)
{
    ZipBuilder builder;
    builder.appendRaw(stub(0x40, "NE")).add(ZipBuilder::stored("in.txt", "data"));
    std::string path = write(builder.finish(), "sfx.exe");
    ZipDirectoryReader reader(ui, path);
    ASSERT_TRUE(reader.readDirectory());
    write(twoEntryArchive(), "sfx.exe");
    ASSERT_TRUE(reader.readDirectory());
    EXPECT_EQ(reader.archive().selfExtractorKind, 2);
}

TEST_F(ZipDirectoryReaderTest, AnEndRecordInTheArchiveCommentDoesNotHideTheRealOne)
{
    // The comment ends in a record that points at nothing; both records' comments reach the end of
    // the file.
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("a.txt", "alpha"));
    ZipDirectoryReader reader(
        ui, write(builder.finish({.comment = ZipBuilder::endRecord(0, 0, 1, 1, 999, 0, "")})));
    ASSERT_TRUE(reader.readDirectory());
    EXPECT_EQ(namesOf(reader.entries()), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(reader.archive().archiveCommentLength, 22);
}

TEST_F(ZipDirectoryReaderTest, TheSearchReachesOnlyTheLast61440BytesOfALongFile)
{
    struct Case {
        const char* rule;
        size_t padding;
        size_t commentLength;
        bool found;
    };
    const Case cases[] = {
        {"long file, end record 61440 bytes from the end", 70000, 61440 - 22, true},
        {"long file, end record 61441 bytes from the end", 70000, 61441 - 22, false},
        {"65535-byte file, end record at offset 0", 0, 65535 - 22, true},
    };
    for (const Case& c : cases) {
        std::string archive = std::string(c.padding, 'p') +
                              ZipBuilder::endRecord(0, 0, 0, 0, 0, static_cast<uint32_t>(c.padding),
                                                    std::string(c.commentLength, 'c'));
        ZipDirectoryReader reader(ui, write(archive));
        EXPECT_EQ(reader.readDirectory(), c.found) << c.rule;
    }
}

TEST_F(ZipDirectoryReaderTest, ANameCaseChangeKeepsSelectionAndOpenItem)
{
    alignas(8) static char openItemStorage;
    OpenItem* openItem = reinterpret_cast<OpenItem*>(&openItemStorage);
    ZipBuilder before;
    before.add(ZipBuilder::stored("Docs/Readme.TXT", "a")).add(ZipBuilder::stored("gone.txt", "b"));
    ZipDirectoryReader reader(ui, write(before.finish()));
    ASSERT_TRUE(reader.readDirectory());
    reader.entries()[0]->selected = true;
    reader.entries()[0]->openItem = openItem;
    reader.entries()[1]->selected = true;
    reader.clearPreviousEntries();

    ZipBuilder after;
    after.add(ZipBuilder::stored("new.txt", "c")).add(ZipBuilder::stored("docs/README.txt", "a"));
    write(after.finish());
    ASSERT_TRUE(reader.readDirectory());
    ASSERT_EQ(namesOf(reader.entries()), (std::vector<std::string>{"new.txt", "docs/README.txt"}));
    EXPECT_FALSE(reader.entries()[0]->selected);
    EXPECT_TRUE(reader.entries()[1]->selected);
    EXPECT_EQ(reader.entries()[1]->openItem, openItem);
    EXPECT_EQ(namesOf(reader.previousEntries()), std::vector<std::string>{"gone.txt"});
    EXPECT_EQ(ZipDirectoryReader::findEntryByName(reader.entries(), "DOCS/readme.txt"),
              std::optional<size_t>(1));
    EXPECT_EQ(ZipDirectoryReader::findEntryByName(reader.entries(), "missing"), std::nullopt);
}

TEST_F(ZipDirectoryReaderTest, NamesThatDifferOnlyInCaseAreHandedOverFirstToFirst)
{
    ZipBuilder before;
    before.add(ZipBuilder::stored("A", "1"))
        .add(ZipBuilder::stored("a", "2"))
        .add(ZipBuilder::stored("B", "3"));
    ZipDirectoryReader reader(ui, write(before.finish()));
    ASSERT_TRUE(reader.readDirectory());
    reader.entries()[0]->selected = 1; // "A"
    reader.entries()[2]->selected = 1; // "B"

    ZipBuilder after;
    after.add(ZipBuilder::stored("b", "3"))
        .add(ZipBuilder::stored("a", "2"))
        .add(ZipBuilder::stored("A", "1"));
    write(after.finish());
    ASSERT_TRUE(reader.readDirectory());
    // The first new "a" takes over the first old one ("A"), the next the next.
    EXPECT_EQ(namesOf(reader.entries()), (std::vector<std::string>{"b", "a", "A"}));
    EXPECT_TRUE(reader.entries()[0]->selected);
    EXPECT_TRUE(reader.entries()[1]->selected);
    EXPECT_FALSE(reader.entries()[2]->selected);
    EXPECT_TRUE(reader.previousEntries().empty());
}

TEST_F(ZipDirectoryReaderTest, HostileDirectoriesFailWithoutQuestions)
{
    std::string good = twoEntryArchive();
    const size_t end = good.size() - 22;
    auto withEnd = [&](uint16_t total, uint32_t size, uint32_t offset) {
        return good.substr(0, end) + ZipBuilder::endRecord(0, 0, total, total, size, offset, "");
    };
    ZipBuilder::Entry longName = ZipBuilder::stored("n", "");
    std::string lyingName = ZipBuilder::centralHeader(longName);
    lyingName[28] = '\xFF'; // file name length 0xFFFF
    lyingName[29] = '\xFF';
    std::string tiny = std::string(100 - 22, 'x');
    // The directory of good as it is, and with its second header's signature broken.
    const uint32_t directoryOffset = directoryOffsetOf(good);
    const uint32_t directorySize = static_cast<uint32_t>(end - directoryOffset);
    std::string unsigned2 = good;
    // The first central header is 46 bytes, its name and its comment.
    unsigned2[directoryOffset + 46 + std::string("dir/first.txt").size() + std::string("entry note").size()] =
        'X';
    using P = DirectoryProblem;
    struct Case {
        const char* rule;
        std::string bytes;
        DirectoryProblem problem;
    };
    const Case cases[] = {
        {"count claims more entries than there are", withEnd(5, 0, 0), P::DirectoryNotFound},
        {"count claims fewer entries than there are", withEnd(1, 0, 0), P::DirectoryNotFound},
        {"count claims more, the directory where it says", withEnd(3, directorySize, directoryOffset),
         P::EntryCountMismatch},
        {"count claims fewer, the directory where it says", withEnd(1, directorySize, directoryOffset),
         P::EntryCountMismatch},
        {"a central header without its signature", unsigned2, P::DamagedHeader},
        {"directory offset past the end", withEnd(2, 0, 0x7FFFFFFF), P::DirectoryNotFound},
        {"directory offset inside a local header", withEnd(2, 0, 1), P::DirectoryNotFound},
        {"name length past the end", lyingName + ZipBuilder::endRecord(0, 0, 1, 1, 0, 0, ""),
         P::DamagedHeader},
        {"0xFFFF entries in a 100-byte file",
         tiny + ZipBuilder::endRecord(0, 0, 0xFFFF, 0xFFFF, 0xFFFFFF, 0, ""), P::Zip64RecordMissing},
        {"comment length past the end",
         good.substr(0, end) + ZipBuilder::endRecord(0, 0, 2, 2, 0, 0, "", 500), P::DirectoryNotFound},
        {"comment length past the end, the directory where it says",
         good.substr(0, end) + ZipBuilder::endRecord(0, 0, 2, 2, directorySize, directoryOffset, "", 500),
         P::DamagedEndRecord},
        {"stray bytes after the end record", good.substr(0, end - 1) + "PK\x05", P::TruncatedOrPart},
        {"shorter than an end record", std::string("PK\x05\x06", 4) + std::string(10, '\0'), P::NotZip},
        {"no bytes", "", P::Empty},
    };
    for (const Case& c : cases) {
        ZipDirectoryReader reader(ui, write(c.bytes));
        EXPECT_FALSE(reader.readDirectory()) << c.rule;
        EXPECT_EQ(reader.error().problem, c.problem)
            << c.rule << ": " << describeDirectoryError(reader.error());
    }
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ZipDirectoryReaderTest, MoreThan65535EntriesAreCountedByZip64RecordsOrInSixteenBits)
{
    constexpr uint64_t Entries = 70000;
    ZipBuilder builder;
    for (uint64_t i = 0; i < Entries; ++i)
        builder.add(ZipBuilder::stored("e" + std::to_string(i), ""));
    const uint64_t directoryOffset = builder.size();
    const std::string plain = ZipBuilder(builder).finish();
    const uint64_t directorySize = plain.size() - 22 - directoryOffset;
    // Writers without ZIP64 records store 70,000 entries as a count of 70,000 - 65,536 = 4,464.
    auto withCount = [&](int64_t count) {
        ZipBuilder::End end;
        end.entriesOnThisDisk = end.entriesTotal = count;
        return ZipBuilder(builder).finish(end);
    };
    // Python's zipfile and Info-ZIP zip saturate the count and give it in a ZIP64 end record.
    auto withZip64Count = [&](uint64_t count) {
        return plain.substr(0, plain.size() - 22) +
               ZipBuilder::zip64EndRecords(count, directorySize, directoryOffset, plain.size() - 22) +
               ZipBuilder::endRecord(0, 0, 0xFFFF, 0xFFFF, static_cast<uint32_t>(directorySize),
                                     static_cast<uint32_t>(directoryOffset), "");
    };
    struct Case {
        const char* rule;
        std::string bytes;
        bool read;
    };
    const Case cases[] = {
        {"the low 16 bits of the count", withCount(Entries - 65536), true},
        {"the low 16 bits one short", withCount(Entries - 65537), false},
        {"the count in a ZIP64 end record", withZip64Count(Entries), true},
        {"a ZIP64 count one more than there are", withZip64Count(Entries + 1), false},
    };
    for (const Case& c : cases) {
        ZipDirectoryReader reader(ui, write(c.bytes));
        ASSERT_EQ(reader.readDirectory(), c.read) << c.rule;
        if (!c.read)
            continue;
        EXPECT_EQ(reader.entries().size(), size_t{Entries}) << c.rule;
        EXPECT_EQ(reader.entries().back()->name, "e69999") << c.rule;
    }
    ZipDirectoryReader reader(ui, write(withZip64Count(Entries)));
    ASSERT_TRUE(reader.readDirectory());
    EXPECT_EQ(reader.archive().entriesTotal, Entries);
    EXPECT_EQ(reader.archive().entriesOnThisDisk, Entries);
    EXPECT_TRUE(reader.archive().zip64);
}

TEST_F(ZipDirectoryReaderTest, ReadsZip64SizesAndOffsetsPastFourGibibytes)
{
    // A sparse file: 5 GiB of stored zeros for big.bin from offset 0 (never read: the reader reads
    // only the directory), then tail.txt, then the directory, the ZIP64 end records and an end
    // record with its offset saturated.
    constexpr uint64_t FiveGibibytes = uint64_t{5} << 30;
    const uint64_t tailOffset = 30 + 7 + 20 + FiveGibibytes;
    ZipBuilder::Entry big = ZipBuilder::stored("big.bin", "");
    big.compressedSize = big.uncompressedSize = 0xFFFFFFFF;
    big.extra = ZipBuilder::zip64Extra({FiveGibibytes, FiveGibibytes});
    ZipBuilder::Entry tail = ZipBuilder::stored("tail.txt", "tail");
    tail.localHeaderOffset = 0xFFFFFFFF;
    tail.extra = ZipBuilder::zip64Extra({tailOffset});
    const uint64_t directoryOffset = tailOffset + 30 + 8 + 4;
    const std::string directory = ZipBuilder::centralHeader(big) + ZipBuilder::centralHeader(tail);
    const std::string records =
        directory +
        ZipBuilder::zip64EndRecords(2, directory.size(), directoryOffset,
                                    directoryOffset + directory.size()) +
        ZipBuilder::endRecord(0, 0, 2, 2, static_cast<uint32_t>(directory.size()), 0xFFFFFFFF, "");
    const std::string path = write("");
    {
        std::ofstream file(path, std::ios::binary);
        file.seekp(static_cast<std::streamoff>(directoryOffset));
        file.write(records.data(), static_cast<std::streamsize>(records.size()));
        ASSERT_TRUE(file.good());
    }
    ZipDirectoryReader reader(ui, path);
    ASSERT_TRUE(reader.readDirectory());
    ASSERT_EQ(namesOf(reader.entries()), (std::vector<std::string>{"big.bin", "tail.txt"}));
    EXPECT_EQ(reader.entries()[0]->uncompressedSize, FiveGibibytes);
    EXPECT_EQ(reader.entries()[0]->compressedSize, FiveGibibytes);
    EXPECT_EQ(reader.entries()[1]->localHeaderOffset, tailOffset);
    const ZipArchiveRecord& archive = reader.archive();
    EXPECT_TRUE(archive.zip64);
    EXPECT_EQ(archive.entriesTotal, 2u);
    EXPECT_EQ(archive.directoryOffset, directoryOffset);
    EXPECT_EQ(archive.directorySize, directory.size());
    EXPECT_EQ(archive.totalUncompressed, FiveGibibytes + 4);
    EXPECT_EQ(archive.totalCompressed, FiveGibibytes + 4);
    EXPECT_EQ(archive.fileStatus.size, directoryOffset + records.size());
}

// Plays the user who swaps diskettes: each "Insert disk N." replaces the file with disk N.
class DiskSwappingUserInterface : public ScriptedUserInterface {
  public:
    std::function<void(const std::string&)> onMessage;
    int showMessage(const MessageBoxRequest& request) override
    {
        int result = ScriptedUserInterface::showMessage(request);
        onMessage(request.text);
        return result;
    }
};

TEST_F(ZipDirectoryReaderTest, ReadsADirectorySpreadOverTwoDisks)
{
    // Disk 2 (index 1) holds data and the first two central headers; disk 3 (the last) the third
    // header and the end record.
    ZipBuilder::Entry a = ZipBuilder::stored("a.txt", "a"), b = ZipBuilder::stored("b.txt", "b"),
                      c = ZipBuilder::stored("c.txt", "c");
    c.diskNumberStart = 2;
    std::string secondDisk =
        std::string(100, 'd') + ZipBuilder::centralHeader(a) + ZipBuilder::centralHeader(b);
    std::string headerC = ZipBuilder::centralHeader(c);
    uint32_t size = static_cast<uint32_t>(secondDisk.size() - 100 + headerC.size());
    std::string lastDisk = headerC + ZipBuilder::endRecord(2, 1, 1, 3, size, 100, "");

    DiskSwappingUserInterface swapper;
    std::string path = write(lastDisk, "backup.EXE");
    swapper.onMessage = [&](const std::string& text) {
        write(text == "Insert disk 2." ? secondDisk : lastDisk, "backup.EXE");
    };
    swapper.answerMessage(DialogResult::Ok);
    swapper.answerMessage(DialogResult::Ok);
    ZipDirectoryReader reader(swapper, path);
    reader.archive().onRemovableDrive = true;
    ASSERT_TRUE(reader.readDirectory());
    EXPECT_EQ(swapper.messageTexts(), (std::vector<std::string>{"Insert disk 2.", "Insert disk 3."}));
    EXPECT_EQ(swapper.messages()[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(namesOf(reader.entries()), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(reader.entries()[2]->index, 2);
    EXPECT_TRUE(reader.archive().spanned);
    EXPECT_EQ(reader.archive().selfExtractorKind, 2);

    // Read again from the last disk: the headers read there first and again later keep their
    // selection.
    for (const auto& entry : reader.entries())
        entry->selected = 1;
    reader.clearPreviousEntries();
    swapper.answerMessage(DialogResult::Ok);
    swapper.answerMessage(DialogResult::Ok);
    ASSERT_TRUE(reader.readDirectory());
    ASSERT_EQ(namesOf(reader.entries()), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    for (const auto& entry : reader.entries())
        EXPECT_TRUE(entry->selected) << entry->name;
}

// A central header at offset 0 whose comment runs to the end of a file of the given length; inside
// the comment a second header, an end record claiming 65,535 disks with the directory at offset 0
// of disk 0, and last an end record that points at the second header. A reader that took this file
// for every disk would read the first header, comment and all, 65,535 times.
std::string spannedLoop(size_t length)
{
    ZipBuilder::Entry second = ZipBuilder::stored("b", "");
    const std::string secondHeader = ZipBuilder::centralHeader(second);
    ZipBuilder::Entry first = ZipBuilder::stored("a", "");
    const size_t padding = length - 47 - secondHeader.size() - 2 * 22;
    const std::string claim = ZipBuilder::endRecord(0xFFFF, 0, 0, 2, 46, 0, "", 22);
    const auto secondOffset = static_cast<uint32_t>(47 + padding);
    first.comment =
        std::string(padding, 'c') + secondHeader + claim +
        ZipBuilder::endRecord(0, 0, 1, 1, static_cast<uint32_t>(secondHeader.size() + 22), secondOffset, "");
    return ZipBuilder::centralHeader(first);
}

TEST_F(ZipDirectoryReaderTest, TheSameFileIsNeverReadAgainAsTheNextDisk)
{
    struct Case {
        const char* rule;
        bool removable;
        std::vector<int> answers;
        DirectoryProblem problem;
    };
    using P = DirectoryProblem;
    const Case cases[] = {
        {"a fixed drive: no disk can be swapped, nothing is asked", false, {}, P::LastSplitPart},
        {"a removable drive, OK without a new disk", true, {DialogResult::Ok}, P::DisksNotInserted},
        {"a removable drive, Cancel", true, {DialogResult::Cancel}, P::DisksNotInserted},
    };
    for (size_t length : {size_t{2048}, size_t{65536}}) {
        const std::string path = write(spannedLoop(length));
        ASSERT_EQ(std::filesystem::file_size(path), length);
        for (const Case& c : cases) {
            ScriptedUserInterface user;
            for (int answer : c.answers)
                user.answerMessage(answer);
            ZipDirectoryReader reader(user, path);
            reader.archive().onRemovableDrive = c.removable;
            EXPECT_FALSE(reader.readDirectory()) << c.rule;
            EXPECT_EQ(reader.error().problem, c.problem) << c.rule;
            EXPECT_LE(reader.entries().size(), 2u) << c.rule;
            ASSERT_EQ(user.messages().size(), c.answers.size()) << c.rule << ", " << length << " bytes";
            for (const MessageBoxRequest& message : user.messages()) {
                EXPECT_EQ(message.text, "Insert disk 1.") << c.rule;
                EXPECT_EQ(message.buttons, MessageButtons::OkCancel) << c.rule;
            }
        }
    }
}

TEST_F(ZipDirectoryReaderTest, DisksGiveNoMoreHeadersThanTheDirectorySizeHolds)
{
    // Every "next disk" is a new file, but the end record's directory of 46 bytes cannot hold the
    // 2 KiB header each of them starts with.
    DiskSwappingUserInterface swapper;
    const std::string path = write(spannedLoop(2048));
    int swaps = 0;
    swapper.onMessage = [&](const std::string&) { write(spannedLoop(2048 + ++swaps)); };
    swapper.answerMessage(DialogResult::Ok);
    ZipDirectoryReader reader(swapper, path);
    reader.archive().onRemovableDrive = true;
    EXPECT_FALSE(reader.readDirectory());
    EXPECT_EQ(swapper.messageTexts(), std::vector<std::string>{"Insert disk 1."});
    EXPECT_TRUE(reader.entries().empty());
}

TEST_F(ZipDirectoryReaderTest, AsksForTheLastDisketteOnlyOnARemovableDrive)
{
    std::string path = write(std::string(100, 'x'));
    ZipDirectoryReader fixed(ui, path);
    EXPECT_FALSE(fixed.readDirectory());
    EXPECT_EQ(fixed.error().problem, DirectoryProblem::NotZip);
    EXPECT_TRUE(ui.messages().empty());

    ZipDirectoryReader removable(ui, path);
    removable.archive().onRemovableDrive = true;
    ui.answerMessage(DialogResult::Cancel);
    EXPECT_FALSE(removable.readDirectory());
    EXPECT_EQ(removable.error().problem, DirectoryProblem::NotZip);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "The ZIP directory could not be located in the file " + path +
                                         ".  If this is a ZIP backup, please insert the last diskette.");
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::OkCancel);
}

TEST_F(ZipDirectoryReaderTest, RetriesAfterTheLastDisketteIsInserted)
{
    DiskSwappingUserInterface swapper;
    std::string path = write(std::string(100, 'x'));
    swapper.onMessage = [&](const std::string&) { write(twoEntryArchive()); };
    swapper.answerMessage(DialogResult::Ok);
    ZipDirectoryReader reader(swapper, path);
    reader.archive().onRemovableDrive = true;
    EXPECT_TRUE(reader.readDirectory());
    EXPECT_EQ(reader.entries().size(), 2u);
}

TEST_F(ZipDirectoryReaderTest, TheReadingTextIsPacedButEndsOnTheLastNameRead)
{
    ZipBuilder builder;
    for (int i = 0; i < 100; ++i)
        builder.add(ZipBuilder::stored("entry" + std::to_string(i), ""));
    const std::string path = write(builder.finish());
    struct Case {
        const char* rule;
        int64_t millisecondsPerName;
        size_t texts;
    };
    const Case cases[] = {
        // The first name at once, then one every 50 ms, and the last name when the read ends.
        {"10 ms per name: every fifth name", 10, 21},
        {"a stalled clock: the first and the last name", 0, 2},
        {"a slow read: every name", 50, 100},
    };
    for (const Case& c : cases) {
        ScriptedUserInterface paced;
        ZipDirectoryReader reader(paced, path);
        int64_t now = 1000;
        reader.setClock([&] { return now += c.millisecondsPerName; });
        ASSERT_TRUE(reader.readDirectory()) << c.rule;
        EXPECT_EQ(paced.statusTexts().size(), c.texts) << c.rule;
        ASSERT_FALSE(paced.statusTexts().empty());
        EXPECT_EQ(paced.statusTexts().front(), "Reading: entry0") << c.rule;
        EXPECT_EQ(paced.statusTexts().back(), "Reading: entry99") << c.rule;
        // A second read starts showing at once again.
        ASSERT_TRUE(reader.readDirectory());
        EXPECT_EQ(paced.statusTexts()[c.texts], "Reading: entry0") << c.rule;
    }
}

TEST_F(ZipDirectoryReaderTest, EscapesControlCharactersInTheStatusLine)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("evil\x1b[2Jname", "x"));
    ZipDirectoryReader reader(ui, write(builder.finish()));
    ASSERT_TRUE(reader.readDirectory());
    EXPECT_EQ(reader.entries()[0]->name, "evil\x1b[2Jname");
    EXPECT_EQ(ui.statusTexts().back(), "Reading: evil\\x1B[2Jname");
}

// What a scan hands over of each entry, to compare with the records a read keeps.
std::string describeEntry(const ZipEntry& entry)
{
    return std::to_string(entry.index) + " " + entry.name + " " + std::to_string(entry.uncompressedSize) + " " +
           std::to_string(entry.compressedSize) + " " + std::to_string(entry.localHeaderOffset) + " " +
           std::to_string(entry.crc32) + " [" + entry.comment + "]" + (entry.aes ? " aes" : "");
}

class RecordingVisitor : public DirectoryVisitor {
  public:
    void visit(const ZipEntry& entry) override { seen.push_back(describeEntry(entry)); }
    void restart() override
    {
        seen.clear();
        ++restarts;
    }

    std::vector<std::string> seen;
    int restarts = 0;
};

TEST_F(ZipDirectoryReaderTest, AScanHandsOverTheEntriesAReadKeepsAndLeavesTheListsAlone)
{
    ZipBuilder aesBuilder;
    ZipBuilder::Entry aes = ZipBuilder::stored("secret.txt", "0123456789012345678901234567890123456789");
    aes.method = zipformat::method::Aes;
    aes.flags = 1;
    aes.extra = std::string("\x01\x99\x07\x00\x02\x00" "AE\x03\x00\x00", 11);
    aesBuilder.add(aes);
    aesBuilder.add(ZipBuilder::stored("plain.txt", "plain"));
    std::string damaged = twoEntryArchive();
    damaged[directoryOffsetOf(damaged)] = 'X';
    struct Case {
        const char* rule;
        std::string bytes;
        bool readable;
    };
    const Case cases[] = {
        {"names, comments and the archive comment", twoEntryArchive("archive comment"), true},
        {"an AES entry after which a plain one has no AES field", aesBuilder.finish(), true},
        {"a damaged first header", damaged, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const std::string path = write(c.bytes);
        ZipDirectoryReader reading(ui, path);
        EXPECT_EQ(reading.readDirectory(), c.readable);
        std::vector<std::string> kept;
        for (const auto& entry : reading.entries())
            kept.push_back(describeEntry(*entry));

        ZipDirectoryReader scanning(ui, write(twoEntryArchive(), "other.zip"));
        ASSERT_TRUE(scanning.readDirectory());
        scanning.setPath(path);
        RecordingVisitor visitor;
        ASSERT_EQ(scanning.scanDirectory(visitor), c.readable);
        EXPECT_EQ(namesOf(scanning.entries()), (std::vector<std::string>{"dir/first.txt", "second.bin"}))
            << "the entries of the read before stay";
        if (!c.readable) {
            EXPECT_EQ(scanning.error().problem, reading.error().problem);
            continue;
        }
        EXPECT_EQ(visitor.seen, kept);
        EXPECT_EQ(scanning.archive().archiveComment, reading.archive().archiveComment);
        EXPECT_EQ(scanning.archive().totalUncompressed, reading.archive().totalUncompressed);
    }
}

TEST_F(ZipDirectoryReaderTest, AScanOfDisksReadAgainFromTheFirstForgetsTheEntriesOfTheLast)
{
    // The last disk's header comes first, then the directory is read again from disk 2.
    ZipBuilder::Entry a = ZipBuilder::stored("a.txt", "a"), c = ZipBuilder::stored("c.txt", "c");
    std::string secondDisk = std::string(100, 'd') + ZipBuilder::centralHeader(a);
    std::string headerC = ZipBuilder::centralHeader(c);
    uint32_t size = static_cast<uint32_t>(secondDisk.size() - 100 + headerC.size());
    std::string lastDisk = headerC + ZipBuilder::endRecord(2, 1, 1, 2, size, 100, "");
    DiskSwappingUserInterface swapper;
    std::string path = write(lastDisk);
    swapper.onMessage = [&](const std::string& text) { write(text == "Insert disk 2." ? secondDisk : lastDisk); };
    swapper.answerMessage(DialogResult::Ok);
    swapper.answerMessage(DialogResult::Ok);
    ZipDirectoryReader reader(swapper, path);
    reader.archive().onRemovableDrive = true;
    RecordingVisitor visitor;
    ASSERT_TRUE(reader.scanDirectory(visitor));
    EXPECT_EQ(visitor.restarts, 1);
    ASSERT_EQ(visitor.seen.size(), 2u);
    EXPECT_EQ(visitor.seen[0].substr(0, 7), "0 a.txt");
    EXPECT_EQ(visitor.seen[1].substr(0, 7), "1 c.txt");
    EXPECT_TRUE(reader.entries().empty());
}

} // namespace
} // namespace quarvo
