// The add family, deleting selected entries and the extract family, run against the fake engine:
// what each command shows, what it hands the engine and what it does with the result.

#include "DocumentFixture.h"

#include "core/documents/AddFilesCommand.h"
#include "core/documents/DeleteEntriesCommand.h"
#include "core/documents/ExtractCommand.h"
#include "core/engine/ZipEngineSession.h"
#include "core/ui/DialogResult.h"
#include "engines/api/EngineResult.h"

using namespace quarvo;
using quarvo::testing::archiveWith;
using quarvo::testing::DocumentTest;
using quarvo::testing::FixedSelection;
using quarvo::testing::RecordingView;
using quarvo::testing::writeFile;

namespace {

const char* const CannotWriteSpanned = "You can't convert a ZIP file,add files to a ZIP file or delete files "
                                       "from a ZIP file that spans disks.";
const char* const LastDiskReminder = "Please insert the last disk of the backup set.";

std::vector<std::string> namesOf(const ZipDocument& document)
{
    std::vector<std::string> names;
    for (const auto& entry : document.entries())
        names.push_back(entry->name);
    return names;
}

// An archive whose end record says it is the last disk of a set, with its directory on that disk.
std::string spannedArchive()
{
    quarvo::testing::ZipBuilder builder;
    builder.add(quarvo::testing::ZipBuilder::stored("A.TXT", "a"));
    quarvo::testing::ZipBuilder::End end;
    end.thisDisk = 1;
    end.directoryStartDisk = 1;
    return builder.finish(end);
}

class ArchiveCommandsTest : public DocumentTest {
  protected:
    // An open archive document holding the named entries.
    ZipDocument* openArchive(const std::vector<std::string>& names, const std::string& name = "ARCH.ZIP")
    {
        archivePath = archiveFile(name, archiveWith(names));
        ZipDocument* document = open(archivePath);
        EXPECT_NE(document, nullptr);
        return document;
    }

    // The fake engine's run replaces the archive with one holding names, as the real engine would.
    void engineWritesArchive(const std::vector<std::string>& names, uint16_t result = 0)
    {
        engine.setZipAction([this, names, result](ZipCommand&) {
            writeFile(archivePath, archiveWith(names, "after"));
            return result;
        });
    }

    std::string sourceDirectory() const { return directory.file("source"); }

    std::string archivePath;
};

// ---- Add family ------------------------------------------------------------------------------

TEST_F(ArchiveCommandsTest, AddFillsBothDialogsRunsTheChosenOperationAndReReads)
{
    ZipDocument* document = openArchive({"OLD.TXT"});
    settings.zipOptions.compressionFactor = 7;
    settings.zipOptions.recurse = 1;
    std::filesystem::create_directories(sourceDirectory());
    const std::string source = sourceDirectory();
    dialogs.answerAddFiles(DialogResult::Ok, [&](AddFilesDialogValues& values) {
        values.operationIndex = 3; // the user switched to Move
        values.sourceDirectory = source;
        values.storePath = true;
        values.compressionFactor = 2;
    });
    dialogs.answerFileList(DialogResult::Ok, [](FileListDialogValues& values) {
        values.includeNames = {"\"a.txt\"", "\"b c.txt\""};
        values.excludeNames = {"\"*.bak\""};
    });
    engineWritesArchive({"OLD.TXT", "a.txt"});

    EXPECT_TRUE(addFiles(*document, 2250));

    ASSERT_EQ(dialogs.addFilesShown().size(), 1u);
    const AddFilesDialogValues& shown = dialogs.addFilesShown()[0];
    EXPECT_EQ(shown.title, "Compress Files (ARCH.ZIP)");
    EXPECT_EQ(shown.operationIndex, 1); // 2250, Update
    EXPECT_EQ(shown.compressionFactor, 7);
    EXPECT_TRUE(shown.recurse);
    ASSERT_EQ(dialogs.fileListsShown().size(), 1u);
    EXPECT_EQ(dialogs.fileListsShown()[0].title, "Move Files (ARCH.ZIP)");
    EXPECT_EQ(dialogs.fileListsShown()[0].zipFromDirectory, source);

    ASSERT_EQ(engine.zipCalls().size(), 1u);
    const auto& call = engine.zipCalls()[0];
    EXPECT_EQ(call.block.function, 4u);
    EXPECT_EQ(call.block.deleteSourceFiles, 1u);
    EXPECT_EQ(call.block.compressionLevel, 2u);
    EXPECT_EQ(call.block.noDirectoryNames, 0u);
    EXPECT_EQ(call.archivePath, archivePath);
    EXPECT_EQ(call.itemSpecification, "\"" + source + "/*.*\"");
    EXPECT_EQ(call.includeList, "\"a.txt\" \"b c.txt\"");
    EXPECT_EQ(call.excludeList, "\"*.bak\"");
    EXPECT_EQ(call.block.commentGiven, 0u); // the comment was not edited: the engine keeps it

    // The choices stay in the current options; the archive was re-read.
    EXPECT_EQ(settings.zipOptions.compressionFactor, 2);
    EXPECT_EQ(settings.zipOptions.storePath, 1);
    EXPECT_EQ(settings.compressHistory.front(), source);
    EXPECT_EQ(namesOf(*document), (std::vector<std::string>{"OLD.TXT", "a.txt"}));
    EXPECT_EQ(document->archive().archiveComment, "after");
}

TEST_F(ArchiveCommandsTest, EachAddCommandOpensTheDialogOnItsOwnOperation)
{
    ZipDocument* document = openArchive({"A.TXT"});
    const int ids[] = {2150, 2250, 2300, 2400, 2450, 2500};
    for (size_t i = 0; i < std::size(ids); ++i)
        dialogs.answerAddFiles(DialogResult::Cancel);
    for (int id : ids)
        EXPECT_FALSE(addFiles(*document, id)) << id;
    ASSERT_EQ(dialogs.addFilesShown().size(), 6u);
    for (int index = 0; index < 6; ++index)
        EXPECT_EQ(dialogs.addFilesShown()[static_cast<size_t>(index)].operationIndex, index);
    EXPECT_TRUE(engine.zipCalls().empty());

    // An id outside the table shows nothing.
    EXPECT_FALSE(addFiles(*document, 2600));
    EXPECT_EQ(dialogs.addFilesShown().size(), 6u);
}

TEST_F(ArchiveCommandsTest, CancelInTheFileListReturnsToTheAddFilesDialogWithTheLastChoices)
{
    ZipDocument* document = openArchive({"A.TXT"});
    dialogs.answerAddFiles(DialogResult::Ok, [](AddFilesDialogValues& values) {
        values.operationIndex = 2;
        values.compressionFactor = 0;
    });
    dialogs.answerFileList(DialogResult::Cancel);
    dialogs.answerAddFiles(DialogResult::Cancel);

    EXPECT_FALSE(addFiles(*document, 2150));
    ASSERT_EQ(dialogs.addFilesShown().size(), 2u);
    EXPECT_EQ(dialogs.addFilesShown()[1].operationIndex, 2);
    EXPECT_EQ(dialogs.addFilesShown()[1].compressionFactor, 0);
    EXPECT_EQ(dialogs.fileListsShown()[0].title, "Freshen Files (ARCH.ZIP)");
    EXPECT_TRUE(engine.zipCalls().empty());
    // A cancelled command leaves the options alone.
    EXPECT_EQ(settings.zipOptions.compressionFactor, 5);
}

TEST_F(ArchiveCommandsTest, AWholeDriveBackupSkipsTheFileListAndStoresPathsFromTheRoot)
{
    ZipDocument* document = openArchive({"A.TXT"});
    dialogs.answerAddFiles(DialogResult::Ok, [](AddFilesDialogValues& values) {
        values.spanDiskType = 1;
        values.backupEntireDrive = true;
        values.recurse = false;
        values.storePath = false;
    });
    engine.queueZipResult(EngineResult::WriteError);

    EXPECT_FALSE(addFiles(*document, 2150));
    EXPECT_TRUE(dialogs.fileListsShown().empty());
    ASSERT_EQ(engine.zipCalls().size(), 1u);
    const auto& call = engine.zipCalls()[0];
    EXPECT_EQ(call.itemSpecification, "\"/*.*\"");
    EXPECT_EQ(call.block.recurse, 1u);
    EXPECT_EQ(call.block.noDirectoryNames, 0u);
    EXPECT_EQ(call.block.spanOptions, 0x8000);
    EXPECT_FALSE(call.includeList.has_value());
    EXPECT_FALSE(call.excludeList.has_value());
    EXPECT_EQ(settings.zipOptions.backupEntireDrive, 1);

    // Without a span option the flag alone does not make a backup.
    dialogs.answerAddFiles(DialogResult::Ok, [](AddFilesDialogValues& values) {
        values.spanDiskType = 0;
        values.backupEntireDrive = true;
    });
    dialogs.answerFileList(DialogResult::Cancel);
    dialogs.answerAddFiles(DialogResult::Cancel);
    EXPECT_FALSE(addFiles(*document, 2150));
    EXPECT_EQ(dialogs.fileListsShown().size(), 1u);
}

TEST_F(ArchiveCommandsTest, TheCommentDialogReplacesRemovesOrKeepsTheComment)
{
    struct Case {
        const char* rule;
        int answer;
        std::string typed;
        bool given;
        std::string passed;
    };
    const Case cases[] = {
        {"OK with a new text replaces it", DialogResult::Ok, "new words", true, "new words"},
        {"OK with an empty box removes it", DialogResult::Ok, "", true, ""},
        {"Cancel keeps it", DialogResult::Cancel, "ignored", false, ""},
    };
    settings.zipOptions.editComment = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        archivePath = archiveFile("C.ZIP", archiveWith({"A.TXT"}, "old comment"));
        ZipDocument* document = open(archivePath);
        ASSERT_NE(document, nullptr);
        dialogs.answerAddFiles(DialogResult::Ok);
        dialogs.answerFileList(DialogResult::Ok);
        dialogs.answerComment(c.answer, c.typed);
        const std::string passed = c.passed;
        bool given = c.given;
        engine.setZipAction([&](ZipCommand& block) {
            // The engine writes what it was given, or keeps the old comment.
            writeFile(archivePath, archiveWith({"A.TXT", "B.TXT"}, block.commentGiven ? block.comment
                                                                                       : "old comment"));
            return 0;
        });
        const size_t before = dialogs.commentsShown().size();
        EXPECT_TRUE(addFiles(*document, 2150));
        ASSERT_EQ(dialogs.commentsShown().size(), before + 1);
        EXPECT_EQ(dialogs.commentsShown().back(), "old comment");
        EXPECT_EQ(engine.zipCalls().back().block.commentGiven, given ? 1u : 0u);
        if (given) {
            EXPECT_EQ(engine.zipCalls().back().comment, passed);
        }
        EXPECT_EQ(document->archive().archiveComment, given ? passed : "old comment");
        manager.closeDocument(document);
    }
}

TEST_F(ArchiveCommandsTest, AFailingEngineLeavesTheListAsItWas)
{
    ZipDocument* document = openArchive({"A.TXT"});
    RecordingView view;
    document->attachView(&view);
    dialogs.answerAddFiles(DialogResult::Ok);
    dialogs.answerFileList(DialogResult::Ok);
    engineWritesArchive({"A.TXT", "B.TXT"}, EngineResult::ReadError);
    EXPECT_FALSE(addFiles(*document, 2150));
    EXPECT_EQ(namesOf(*document), std::vector<std::string>{"A.TXT"});
    EXPECT_TRUE(view.hints.empty());

    // Nothing matched: the engine session says so, and nothing is re-read either.
    dialogs.answerAddFiles(DialogResult::Ok);
    dialogs.answerFileList(DialogResult::Ok);
    engine.setZipAction({});
    engine.queueZipResult(EngineResult::NothingToDo);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_FALSE(addFiles(*document, 2150));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Nothing to do!");
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(view.hints.empty());
    document->detachView(&view);
}

TEST_F(ArchiveCommandsTest, WritingCommandsAreRefusedOnASpannedArchive)
{
    archivePath = archiveFile("LAST.ZIP", spannedArchive());
    ZipDocument* document = open(archivePath);
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(document->archive().spanned);

    ui.answerMessage(DialogResult::Ok);
    EXPECT_FALSE(addFiles(*document, 2400));
    ui.answerMessage(DialogResult::Ok);
    deleteSelectedEntries(*document, FixedSelection(1, "\"A.TXT\""));
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string>{CannotWriteSpanned, CannotWriteSpanned}));
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(dialogs.addFilesShown().empty());
    EXPECT_TRUE(engine.zipCalls().empty());
}

TEST_F(ArchiveCommandsTest, ACommandStartedWhileTheEngineRunsAsksNothingAndStartsNothing)
{
    ZipDocument* document = openArchive({"A.TXT"});
    dialogs.answerAddFiles(DialogResult::Ok);
    dialogs.answerFileList(DialogResult::Ok);
    bool innerAdd = true;
    uint16_t innerExtract = 0;
    engine.setZipAction([&](ZipCommand&) {
        // What the event pump of the progress window could start meanwhile.
        innerAdd = addFiles(*document, 2150);
        deleteSelectedEntries(*document, FixedSelection(1, "\"A.TXT\""));
        innerExtract = extractEntries(*document, 3050, FixedSelection(1, "\"A.TXT\""));
        return EngineResult::Ok;
    });
    EXPECT_TRUE(addFiles(*document, 2150));
    EXPECT_FALSE(innerAdd);
    EXPECT_EQ(innerExtract, SessionResult::Busy);
    EXPECT_EQ(dialogs.addFilesShown().size(), 1u);
    EXPECT_TRUE(dialogs.extractShown().empty());
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(engine.zipCalls().size(), 1u);
    EXPECT_TRUE(engine.unzipCalls().empty());
}

// ---- Delete selected entries -------------------------------------------------------------------

TEST_F(ArchiveCommandsTest, DeleteAsksFirstAndOnlyYesGoesOn)
{
    ZipDocument* document = openArchive({"A.TXT", "B.TXT"});
    for (int answer : {DialogResult::No, DialogResult::Cancel}) {
        ui.answerMessage(answer);
        deleteSelectedEntries(*document, FixedSelection(1, "\"A.TXT\""));
    }
    ASSERT_EQ(ui.messages().size(), 2u);
    const MessageBoxRequest& question = ui.messages()[0];
    EXPECT_EQ(question.text,
              "Are you sure you want to delete the selected files in the ZIP file?\n\n" + archivePath);
    EXPECT_EQ(question.buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(question.icon, MessageIcon::Warning);
    EXPECT_EQ(question.defaultButton, DialogResult::No);
    EXPECT_TRUE(engine.zipCalls().empty());
}

TEST_F(ArchiveCommandsTest, DeleteWithoutAUsableListRunsNothing)
{
    ZipDocument* document = openArchive({"A.TXT"});
    struct Case {
        int count;
        const char* message;
    };
    const Case cases[] = {
        {-1, "Unable to create an Include File.\n\n"},
        {0, "Select the file(s) to delete!"},
    };
    for (const Case& c : cases) {
        ui.answerMessage(DialogResult::Yes);
        ui.answerMessage(DialogResult::Ok);
        deleteSelectedEntries(*document, FixedSelection(c.count, "\"A.TXT\""));
        EXPECT_EQ(ui.messages().back().text, c.message);
        EXPECT_EQ(ui.messages().back().buttons, MessageButtons::Ok);
    }
    EXPECT_TRUE(engine.zipCalls().empty());
}

TEST_F(ArchiveCommandsTest, DeleteHandsTheQuotedListToTheEngineAndReReadsTheChangedArchive)
{
    ZipDocument* document = openArchive({"A.TXT", "B C.TXT", "D.TXT"});
    settings.zipOptions.compressionFactor = 0;
    settings.zipOptions.password = "secret";
    ui.answerMessage(DialogResult::Yes);
    engineWritesArchive({"D.TXT"});
    deleteSelectedEntries(*document, FixedSelection(2, "\"A.TXT\" \"B C.TXT\""));

    ASSERT_EQ(engine.zipCalls().size(), 1u);
    const auto& call = engine.zipCalls()[0];
    EXPECT_EQ(call.block.function, 2u);
    EXPECT_EQ(call.block.compressionLevel, 5u);
    EXPECT_EQ(call.block.optionBits & 1u, 0u);
    EXPECT_EQ(call.itemSpecification, "\"A.TXT\" \"B C.TXT\"");
    // No options reach a delete.
    EXPECT_FALSE(call.password.has_value());
    EXPECT_EQ(namesOf(*document), std::vector<std::string>{"D.TXT"});
}

TEST_F(ArchiveCommandsTest, AnArchiveThatVanishedDuringTheDeleteClosesItsWindow)
{
    ZipDocument* document = openArchive({"A.TXT"});
    ui.answerMessage(DialogResult::Yes);
    ui.answerMessage(DialogResult::Ok);
    engine.setZipAction([this](ZipCommand&) {
        std::filesystem::remove(archivePath);
        return 0;
    });
    deleteSelectedEntries(*document, FixedSelection(1, "\"A.TXT\""));
    EXPECT_EQ(ui.messages().back().text, "Could not find ZIP File: \n\n" + archivePath);
    EXPECT_FALSE(isOpen(document));
}

// ---- Extract family ------------------------------------------------------------------------------

TEST_F(ArchiveCommandsTest, TheExtractDialogStartsFromTheCommandAndTheUnzipOptions)
{
    ZipDocument* document = openArchive({"A.TXT"}, "Pack.zip");
    settings.unzipOptions.overwrite = 1;
    settings.unzipOptions.recreate = 0;
    settings.unzipOptions.password = "pw";
    struct Case {
        int commandId;
        int index;
    };
    for (Case c : {Case{3050, 0}, Case{32782, 1}, Case{3150, 2}, Case{3500, 3}}) {
        dialogs.answerExtract(DialogResult::Cancel);
        EXPECT_EQ(extractEntries(*document, c.commandId, FixedSelection(1, "\"A.TXT\"")), 0);
        const ExtractDialogValues& shown = dialogs.extractShown().back();
        EXPECT_EQ(shown.operationIndex, c.index) << c.commandId;
        EXPECT_EQ(shown.title, "Extract Files (Pack.zip)");
        EXPECT_TRUE(shown.overwrite);
        EXPECT_FALSE(shown.recreate);
        EXPECT_EQ(shown.password, "pw");
    }
    EXPECT_TRUE(engine.unzipCalls().empty());
}

TEST_F(ArchiveCommandsTest, TheSelectedEntriesAreOfferedForOneTo200Selected)
{
    ZipDocument* document = openArchive({"A.TXT"});
    struct Case {
        int selected;
        bool offered;
    };
    for (Case c : {Case{0, false}, Case{1, true}, Case{200, true}, Case{201, false}}) {
        dialogs.answerExtract(DialogResult::Cancel);
        extractEntries(*document, 3050, FixedSelection(c.selected, "\"A.TXT\""));
        EXPECT_EQ(dialogs.extractShown().back().selectionAvailable, c.offered) << c.selected;
    }
}

TEST_F(ArchiveCommandsTest, ExtractRunsTheChosenOperationOnAllSelectedOrTypedEntries)
{
    ZipDocument* document = openArchive({"A.TXT", "B.TXT"});
    const std::string destination = directory.file("out");
    std::filesystem::create_directories(destination);
    struct Case {
        const char* rule;
        int filesToExtract;
        int operationIndex;
        std::string specification;
        uint32_t update, freshen, testOnly;
    };
    const Case cases[] = {
        {"all entries, extract", FilesToExtract::All, 0, "\"*.*\"", 0, 0, 0},
        {"selected entries, update", FilesToExtract::Selected, 1, "\"B.TXT\"", 1, 0, 0},
        {"typed specification, freshen", FilesToExtract::Typed, 2, "\"*.TXT\"", 0, 1, 0},
        {"all entries, test", FilesToExtract::All, 3, "\"*.*\"", 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        dialogs.answerExtract(DialogResult::Ok, [&](ExtractDialogValues& values) {
            values.filesToExtract = c.filesToExtract;
            values.operationIndex = c.operationIndex;
            values.fileSpecification = "*.TXT";
            values.destinationDirectory = destination;
            values.overwrite = true;
            values.recreate = true;
            values.password = "typed";
        });
        EXPECT_EQ(extractEntries(*document, 3050, FixedSelection(1, "\"B.TXT\"")), 0);
        const auto& call = engine.unzipCalls().back();
        EXPECT_EQ(call.itemSpecification, c.specification);
        EXPECT_EQ(call.destinationDirectory, destination + "/");
        EXPECT_EQ(call.block.function, 8u);
        EXPECT_EQ(call.block.update, c.update);
        EXPECT_EQ(call.block.freshen, c.freshen);
        EXPECT_EQ(call.block.testOnly, c.testOnly);
        EXPECT_EQ(call.block.overwrite, 1u);
        EXPECT_EQ(call.block.noDirectoryNames, 0u);
        EXPECT_EQ(call.block.decrypt, 1u);
        EXPECT_EQ(call.password, "typed");
    }
    // The choices stay the current UNZIP options; extraction never re-reads the archive.
    EXPECT_EQ(settings.unzipOptions.overwrite, 1);
    EXPECT_EQ(settings.unzipOptions.recreate, 1);
    EXPECT_EQ(settings.unzipOptions.password, "typed");
    EXPECT_EQ(settings.extractHistory.front(), destination);
}

TEST_F(ArchiveCommandsTest, AnUnbuildableSelectionListStopsTheExtract)
{
    ZipDocument* document = openArchive({"A.TXT"});
    dialogs.answerExtract(DialogResult::Ok,
                          [](ExtractDialogValues& values) { values.filesToExtract = FilesToExtract::Selected; });
    ui.answerMessage(DialogResult::Ok);
    extractEntries(*document, 3050, FixedSelection(-1, ""));
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Unable to create an UNZIP List.\n\n"});
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(engine.unzipCalls().empty());
}

TEST_F(ArchiveCommandsTest, ExtractFromASpannedArchiveRemindsOfTheLastDiskAndGoesOn)
{
    archivePath = archiveFile("LAST.ZIP", spannedArchive());
    ZipDocument* document = open(archivePath);
    ASSERT_NE(document, nullptr);
    ui.answerMessage(DialogResult::Ok);
    dialogs.answerExtract(DialogResult::Ok,
                          [](ExtractDialogValues& values) { values.filesToExtract = FilesToExtract::All; });
    engine.queueUnzipResult(EngineResult::CrcError);
    EXPECT_EQ(extractEntries(*document, 3500, FixedSelection(0, "")), EngineResult::CrcError);
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{LastDiskReminder});
    EXPECT_EQ(engine.unzipCalls().size(), 1u);

    // 3100 is no command of this family: the guard refuses it without a word.
    EXPECT_EQ(extractEntries(*document, 3100, FixedSelection(1, "\"A.TXT\"")), 0);
    EXPECT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(dialogs.extractShown().size(), 1u);
}

} // namespace
