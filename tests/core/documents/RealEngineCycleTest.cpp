// The document's commands over the real engines: a new archive, files added, read back, extracted,
// then every entry deleted again.

#include "DocumentFixture.h"

#include "core/documents/AddFilesCommand.h"
#include "core/documents/ArchiveInfo.h"
#include "core/documents/DeleteEntriesCommand.h"
#include "core/documents/ExtractCommand.h"
#include "core/engine/LinkedEngines.h"
#include "core/ui/DialogResult.h"

#include <map>

using namespace quarvo;
using quarvo::testing::archiveWith;
using quarvo::testing::DocumentTest;
using quarvo::testing::FixedSelection;
using quarvo::testing::readFile;
using quarvo::testing::writeFile;
using quarvo::testing::ZipBuilder;

namespace {

const std::string EmptyArchiveBytes = std::string("PK\x05\x06", 4) + std::string(18, '\0');

// The fixture with the fake engine swapped for the linked ones.
class RealEngineCycleTest : public DocumentTest {
  protected:
    RealEngineCycleTest() { engines = &linked; }

    LinkedEngines linked;
};

TEST_F(RealEngineCycleTest, CreateAddReloadExtractAndDeleteAllLeavesAnEmptyArchive)
{
    const std::string source = directory.file("source");
    const std::string text(3000, 'q');
    writeFile(source + "/alpha.txt", text);
    writeFile(source + "/beta.dat", "beta bytes");
    const std::string path = directory.file("CYCLE.ZIP");

    ui.answerSaveFile(path);
    ZipDocument* document = newArchive();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(readFile(path), EmptyArchiveBytes);

    settings.zipOptions.compressionFactor = 8;
    dialogs.answerAddFiles(DialogResult::Ok, [&](AddFilesDialogValues& values) { values.sourceDirectory = source; });
    dialogs.answerFileList(DialogResult::Ok);
    ASSERT_TRUE(addFiles(*document, 2150));
    ASSERT_TRUE(isOpen(document));
    ASSERT_EQ(document->entries().size(), 2u);
    std::map<std::string, const ZipEntry*> byName;
    for (const auto& entry : document->entries())
        byName[entry->name] = entry.get();
    ASSERT_TRUE(byName.count("alpha.txt"));
    ASSERT_TRUE(byName.count("beta.dat"));
    EXPECT_EQ(byName["alpha.txt"]->uncompressedSize, text.size());
    EXPECT_EQ(byName["alpha.txt"]->crc32, quarvo::testing::crc32Of(text));
    EXPECT_LT(byName["alpha.txt"]->compressedSize, text.size());
    EXPECT_EQ(document->archive().entriesTotal, 2);
    EXPECT_EQ(document->archive().totalUncompressed, text.size() + 10);

    // Extracting everything gives the files back.
    const std::string out = directory.file("out");
    std::filesystem::create_directories(out);
    dialogs.answerExtract(DialogResult::Ok, [&](ExtractDialogValues& values) {
        values.filesToExtract = FilesToExtract::All;
        values.destinationDirectory = out;
    });
    EXPECT_EQ(extractEntries(*document, 3050, FixedSelection(0, "")), 0);
    EXPECT_EQ(readFile(out + "/alpha.txt"), text);
    EXPECT_EQ(readFile(out + "/beta.dat"), "beta bytes");

    // Deleting every entry leaves the empty archive, and the list empties with it.
    ui.answerMessage(DialogResult::Yes);
    deleteSelectedEntries(*document, FixedSelection(2, "\"alpha.txt\" \"beta.dat\""));
    ASSERT_TRUE(isOpen(document));
    EXPECT_TRUE(document->entries().empty());
    EXPECT_EQ(document->archive().entriesTotal, 0);
    EXPECT_EQ(readFile(path), EmptyArchiveBytes);
    EXPECT_EQ(ui.messages().size(), 1u) << "only the delete question";
}

// dzip writes the comment typed in the dialog as UTF-8, and it reads back as typed, in the document
// and in the info dialog; a comment the user leaves as it is keeps its stored bytes, code page 437
// included.
TEST_F(RealEngineCycleTest, TheCommentTypedInTheDialogReadsBackAsTyped)
{
    const std::string source = directory.file("source");
    writeFile(source + "/new.txt", "new");
    // "Grüße" in UTF-8 and in code page 437 (0x81 u with diaeresis, 0xE1 sharp s).
    const std::string typed = "Gr\xC3\xBC\xC3\x9F"
                              "e";
    const std::string codePage437 = "Gr\x81\xE1"
                                    "e";
    struct Case {
        const char* rule;
        std::string storedBefore;
        std::string storedAfter;
    };
    const Case cases[] = {
        {"typed over no comment", "", typed},
        {"a code page 437 comment left as it is", codePage437, codePage437},
    };
    settings.zipOptions.editComment = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const std::string path = archiveFile("COMMENT.ZIP", archiveWith({"old.txt"}, c.storedBefore));
        ZipDocument* document = open(path);
        ASSERT_NE(document, nullptr);
        dialogs.answerAddFiles(DialogResult::Ok,
                               [&](AddFilesDialogValues& values) { values.sourceDirectory = source; });
        dialogs.answerFileList(DialogResult::Ok);
        dialogs.answerComment(DialogResult::Ok, typed);
        ASSERT_TRUE(addFiles(*document, 2150));
        ASSERT_EQ(document->entries().size(), 2u);
        EXPECT_EQ(document->archive().archiveComment, typed);
        EXPECT_EQ(buildZipFileInfo(path, document->archive()).comment, typed);
        const std::string bytes = readFile(path);
        EXPECT_EQ(bytes.substr(bytes.size() - c.storedAfter.size()), c.storedAfter);
        EXPECT_EQ(document->archive().archiveCommentLength, c.storedAfter.size());
        manager.closeDocument(document);
    }
    EXPECT_TRUE(ui.messages().empty());
}

// An archive of 100,000 entries that keeps only the count's low 16 bits (as writers without ZIP64
// records do) shows the whole count, and adding to it from the window works and counts the new
// entry, now in a ZIP64 end record.
TEST_F(RealEngineCycleTest, AddingToAnArchiveOf100000EntriesCountsThemAllInTheInfo)
{
    constexpr int64_t Entries = 100000;
    ZipBuilder builder;
    for (int64_t i = 0; i < Entries; ++i)
        builder.add(ZipBuilder::stored("e" + std::to_string(i), ""));
    ZipBuilder::End sixteenBits;
    sixteenBits.entriesOnThisDisk = sixteenBits.entriesTotal = Entries & 0xFFFF;
    const std::string source = directory.file("source");
    writeFile(source + "/new.txt", "one more");
    dialogs.answerAddFiles(DialogResult::Ok, [&](AddFilesDialogValues& values) { values.sourceDirectory = source; });
    dialogs.answerFileList(DialogResult::Ok);
    const std::string path = archiveFile("MANY.ZIP", ZipBuilder(builder).finish(sixteenBits));
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(buildZipFileInfo(path, document->archive()).fileCount, "100,000");
    ASSERT_TRUE(addFiles(*document, 2150));
    ASSERT_EQ(document->entries().size(), size_t{Entries + 1});
    EXPECT_EQ(document->entries().back()->name, "new.txt");
    EXPECT_TRUE(document->archive().zip64) << "the count needs a ZIP64 end record now";
    EXPECT_EQ(buildZipFileInfo(path, document->archive()).fileCount, "100,001");
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(RealEngineCycleTest, MoveTakesTheSourceFilesIntoTheArchive)
{
    const std::string source = directory.file("moving");
    writeFile(source + "/gone.txt", "moved away");
    const std::string path = directory.file("MOVE.ZIP");
    ui.answerSaveFile(path);
    ZipDocument* document = newArchive();
    ASSERT_NE(document, nullptr);

    dialogs.answerAddFiles(DialogResult::Ok, [&](AddFilesDialogValues& values) { values.sourceDirectory = source; });
    dialogs.answerFileList(DialogResult::Ok);
    ASSERT_TRUE(addFiles(*document, 2400));
    ASSERT_EQ(document->entries().size(), 1u);
    EXPECT_EQ(document->entries()[0]->name, "gone.txt");
    EXPECT_EQ(document->entries()[0]->crc32, quarvo::testing::crc32Of("moved away"));
    EXPECT_FALSE(std::filesystem::exists(source + "/gone.txt"));
}

} // namespace
