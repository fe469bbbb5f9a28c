// The conversion and repair commands of a ZIP document, through the scripted user interface: the
// dialogs they show, the texts they say, the documents they close and open.

#include "DocumentFixture.h"

#include "core/app/CommandIds.h"
#include "core/convert/LinuxExtractor.h"
#include "core/documents/ConvertCommand.h"
#include "core/documents/RepairCommand.h"
#include "core/ui/DialogResult.h"

namespace quarvo::testing {
namespace {

class ConversionCommands : public DocumentTest {
  protected:
    ConversionCommands()
    {
        archivePath = archiveFile("Long Name.zip", archiveWith({"Long Name.text", "b.txt"}, "note"));
    }

    ZipDocument* openArchive()
    {
        ZipDocument* document = open(archivePath);
        EXPECT_NE(document, nullptr);
        return document;
    }
    ZipDocument* documentAt(const std::string& path)
    {
        return dynamic_cast<ZipDocument*>(manager.findByPath(path));
    }

    std::string archivePath;
};

TEST_F(ConversionCommands, EachFormAsksInItsDialogAndOpensWhatItMade)
{
    struct Case {
        int commandId;
        const char* title;
        const char* firstFilter;
        const char* fileName;
        int kind;
    };
    const std::vector<Case> cases = {
        {CommandId::ConvertToDosExe, "ZIP TO EXE", "EXE (*.exe)", "Long Name.exe", 1},
        {CommandId::ConvertToWindowsExe, "Create Windows EXE File", "EXE (*.exe)", "Long Name.exe", 2},
        {CommandId::ConvertToZip, "EXE TO ZIP", "ZIP (*.zip)", "Long Name.zip", 0},
        {CommandId::ConvertToLinuxExtractor, "Create Linux Self-Extractor", "Linux Self-Extractor (*.run)",
         "Long Name.run", 0},
    };
    // A Linux extractor where the program keeps its files (the test's directory).
    writeFile(directory.path() / LinuxExtractorName, std::string("\x7f"
                                                                 "ELF",
                                                                 4) +
                                                         std::string(600, 'x'));
    ZipDocument* document = openArchive();
    for (const Case& c : cases) {
        const std::string target = directory.file("out-" + std::to_string(c.commandId));
        ui.answerSaveFile(target);
        ASSERT_TRUE(convertDocument(*document, c.commandId)) << c.title;
        const FileDialogRequest& dialog = ui.fileDialogs().back();
        EXPECT_EQ(dialog.title, c.title);
        ASSERT_EQ(dialog.filters.size(), 2u);
        EXPECT_EQ(dialog.filters[0].description, c.firstFilter);
        EXPECT_EQ(dialog.filters[1].description, "All Files (*.*)");
        EXPECT_EQ(dialog.fileName, c.fileName);
        EXPECT_EQ(dialog.initialDirectory, directory.path().string());
        ZipDocument* made = documentAt(target);
        ASSERT_NE(made, nullptr) << c.title;
        EXPECT_EQ(made->archive().selfExtractorKind, c.kind) << c.title;
        EXPECT_EQ(made->archive().archiveComment, "note");
        EXPECT_TRUE(isOpen(document));
    }
    EXPECT_EQ(documentAt(directory.file("out-5050"))->entries()[0]->name, "LONGNA~1.TEX");
    EXPECT_EQ(documentAt(directory.file("out-5053"))->entries()[0]->name, "Long Name.text");
    // A program in front may be taken off, whatever kind it reads as; a plain archive has none.
    for (int made : {5050, 32780, 5053})
        EXPECT_EQ(documentAt(directory.file("out-" + std::to_string(made)))
                      ->isCommandEnabled(CommandId::ConvertToZip),
                  true)
            << made;
    EXPECT_EQ(documentAt(directory.file("out-5052"))->isCommandEnabled(CommandId::ConvertToZip), false);
    EXPECT_EQ(document->isCommandEnabled(CommandId::ConvertToZip), false);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ConversionCommands, CancellingTheDialogWritesNothing)
{
    ZipDocument* document = openArchive();
    ui.answerSaveFile("");
    EXPECT_FALSE(convertDocument(*document, CommandId::ConvertToDosExe));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()), {}), 1);
}

TEST_F(ConversionCommands, FailuresSayWhichFileAndWhyAndReReadTheArchive)
{
    ZipDocument* document = openArchive();
    RecordingView view;
    document->attachView(&view);
    const std::string nowhere = directory.file("no such directory/out.exe");
    struct Case {
        int commandId;
        std::string target;
        std::string expectedStart;
    };
    const std::vector<Case> cases = {
        {CommandId::ConvertToDosExe, nowhere, "Error creating EXE file " + nowhere + "!\n"},
        {CommandId::ConvertToWindowsExe, nowhere, "Error creating Windows EXE file " + nowhere + "!\n"},
        {CommandId::ConvertToZip, nowhere, "Error creating ZIP file " + nowhere + "!\n"},
        // No extractor beside the program: nothing could be made from the archive.
        {CommandId::ConvertToLinuxExtractor, directory.file("out.run"),
         "Error creating Linux self-extractor file from " + archivePath + "!\n"},
    };
    for (const Case& c : cases) {
        ui.answerSaveFile(c.target);
        ui.answerMessage(DialogResult::Ok);
        view.hints.clear();
        EXPECT_FALSE(convertDocument(*document, c.commandId));
        EXPECT_EQ(ui.messageTexts().back().rfind(c.expectedStart, 0), 0u) << ui.messageTexts().back();
        EXPECT_EQ(view.hints, std::vector<int>{UpdateHint::ContentsRebuilt}) << "the archive is re-read";
    }
    for (const auto& item : std::filesystem::directory_iterator(directory.path()))
        EXPECT_EQ(item.path().filename(), "Long Name.zip") << "nothing else was made";
    document->detachView(&view);
}

TEST_F(ConversionCommands, ADocumentOpenOnTheTargetIsAskedBeforeItLosesItsFile)
{
    const std::string targetPath = archiveFile("target.zip", archiveWith({"old.txt"}));
    ZipDocument* document = openArchive();
    ZipDocument* target = open(targetPath);
    ASSERT_NE(target, nullptr);
    target->setModified(true); // it has viewed entries

    ui.answerSaveFile(targetPath);
    ui.answerMessage(DialogResult::No);
    EXPECT_FALSE(convertDocument(*document, CommandId::ConvertToDosExe));
    EXPECT_NE(ui.messageTexts().back().find("Continue closing this ZIP file?"), std::string::npos);
    EXPECT_TRUE(isOpen(target));
    EXPECT_EQ(target->entries()[0]->name, "old.txt");

    ui.answerSaveFile(targetPath);
    ui.answerMessage(DialogResult::Yes);
    EXPECT_TRUE(convertDocument(*document, CommandId::ConvertToDosExe));
    EXPECT_FALSE(isOpen(target));
    ASSERT_NE(documentAt(targetPath), nullptr);
    EXPECT_EQ(documentAt(targetPath)->archive().selfExtractorKind, 1);
}

TEST_F(ConversionCommands, ConvertingAnArchiveOntoItselfReopensIt)
{
    ZipDocument* document = openArchive();
    ui.answerSaveFile(archivePath);
    EXPECT_TRUE(convertDocument(*document, CommandId::ConvertToWindowsExe));
    EXPECT_FALSE(isOpen(document));
    ZipDocument* reopened = documentAt(archivePath);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->archive().selfExtractorKind, 2);
    EXPECT_EQ(reopened->entries().size(), 2u);
}

TEST_F(ConversionCommands, RepairTriesThePlainThenTheThoroughRepair)
{
    struct Case {
        std::vector<uint16_t> results;
        size_t runs;
        const char* says;
    };
    for (const Case& c :
         {Case{{0}, 1, "Fixed "}, Case{{5, 0}, 2, "Fixed "}, Case{{5, 7}, 2, "Unable to Fix "}}) {
        FakeEngine fake;
        engines = &fake;
        for (uint16_t result : c.results)
            fake.queueZipResult(result);
        ZipDocument* document = openArchive();
        ui.answerMessage(DialogResult::Ok);
        EXPECT_EQ(repairDocument(*document), std::string(c.says) == "Fixed ");
        ASSERT_EQ(fake.zipCalls().size(), c.runs);
        for (size_t run = 0; run < c.runs; ++run) {
            EXPECT_EQ(fake.zipCalls()[run].block.repair, 1u);
            EXPECT_EQ(fake.zipCalls()[run].block.thoroughRepair, run == 1 ? 1u : 0u);
            EXPECT_EQ(fake.zipCalls()[run].archivePath, archivePath);
        }
        EXPECT_EQ(ui.messageTexts().back(), c.says + archivePath + ".");
        manager.closeDocument(document);
    }
}

} // namespace
} // namespace quarvo::testing
