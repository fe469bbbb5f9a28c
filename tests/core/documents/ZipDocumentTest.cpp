#include "DocumentFixture.h"

#include "core/ui/DialogResult.h"

#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quarvo;
using quarvo::testing::archiveWith;
using quarvo::testing::DocumentTest;
using quarvo::testing::readFile;
using quarvo::testing::RecordingView;
using quarvo::testing::writeFile;

namespace {

using ZipDocumentTest = DocumentTest;

const std::string EmptyArchiveBytes = std::string("PK\x05\x06", 4) + std::string(18, '\0');

// An archive whose end record says it is the last disk of a set, with its directory on that disk.
std::string spannedArchive()
{
    quarvo::testing::ZipBuilder builder;
    builder.add(quarvo::testing::ZipBuilder::stored("A.TXT", "a"));
    quarvo::testing::ZipBuilder::End end;
    end.thisDisk = 2;
    end.directoryStartDisk = 2;
    return builder.finish(end);
}

TEST_F(ZipDocumentTest, ANewArchiveIsTheEmpty22ByteRecordAndReadsBackEmpty)
{
    const std::string path = directory.file("NEW.ZIP");
    ui.answerSaveFile(path);
    ZipDocument* document = newArchive();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(readFile(path), EmptyArchiveBytes);
    EXPECT_EQ(document->path(), path);
    ASSERT_FALSE(settings.recentFiles.empty());
    EXPECT_EQ(settings.recentFiles.front(), path);

    ASSERT_EQ(ui.fileDialogs().size(), 1u);
    const FileDialogRequest& request = ui.fileDialogs()[0];
    EXPECT_EQ(request.title, "New ZIP File");
    EXPECT_EQ(request.defaultExtension, "zip");
    ASSERT_EQ(request.filters.size(), 4u);
    EXPECT_EQ(request.filters[0].description, "ZIP, Self (*.zip,*.exe)");
    EXPECT_EQ(request.filters[0].patterns, (std::vector<std::string>{"*.zip", "*.exe"}));
    EXPECT_EQ(request.filters[3].description, "All Files (*.*)");

    ASSERT_TRUE(document->reload());
    EXPECT_TRUE(document->entries().empty());
    EXPECT_EQ(document->archive().entriesTotal, 0);
    EXPECT_EQ(document->archive().selfExtractorKind, 0);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ZipDocumentTest, CancellingTheNameMakesNoDocument)
{
    ui.answerSaveFile("");
    EXPECT_EQ(newArchive(), nullptr);
    EXPECT_TRUE(manager.documents().empty());
}

TEST_F(ZipDocumentTest, AnExeNameIsCreatedAsZipAfterTheMessage)
{
    const std::pair<const char*, const char*> cases[] = {
        {"SETUP.exe", "SETUP.zip"}, {"Setup.EXE", "Setup.zip"}, {"my.backup.ExE", "my.backup.zip"}};
    for (const auto& [typed, created] : cases) {
        SCOPED_TRACE(typed);
        const std::string typedPath = directory.file(typed);
        const std::string createdPath = directory.file(created);
        ui.answerSaveFile(typedPath);
        ui.answerMessage(DialogResult::Ok);
        ZipDocument* document = newArchive();
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->path(), createdPath);
        EXPECT_EQ(readFile(createdPath), EmptyArchiveBytes);
        EXPECT_FALSE(std::filesystem::exists(typedPath));
        const MessageBoxRequest& message = ui.messages().back();
        EXPECT_EQ(message.text, "You did not select \"Create Windows EXE\".  Changing filename:\n\n" +
                                    typedPath + "\n\nto\n\n" + createdPath);
        EXPECT_EQ(message.buttons, MessageButtons::Ok);
    }
    // Any other name stays as typed.
    const size_t messagesBefore = ui.messages().size();
    ui.answerSaveFile(directory.file("plain.zip"));
    ASSERT_NE(newArchive(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(directory.file("plain.zip")));
    EXPECT_EQ(ui.messages().size(), messagesBefore);
}

TEST_F(ZipDocumentTest, AnExistingZipOfTheChangedNameIsReplacedOnlyWhenTheUserAgrees)
{
    const std::string keep = archiveWith({"KEEP.TXT"});
    const std::string zipPath = archiveFile("DATA.zip", keep);
    ui.answerSaveFile(directory.file("DATA.exe"));
    ui.answerMessage(DialogResult::Ok);
    ui.answerMessage(DialogResult::No);
    EXPECT_EQ(newArchive(), nullptr);
    EXPECT_EQ(readFile(zipPath), keep);
    const MessageBoxRequest& question = ui.messages().back();
    EXPECT_EQ(question.text, zipPath + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.defaultButton, DialogResult::No);

    ui.answerSaveFile(directory.file("DATA.exe"));
    ui.answerMessage(DialogResult::Ok);
    ui.answerMessage(DialogResult::Yes);
    ASSERT_NE(newArchive(), nullptr);
    EXPECT_EQ(readFile(zipPath), EmptyArchiveBytes);
}

TEST_F(ZipDocumentTest, AReadOnlyFileIsNotReplaced)
{
    const std::string old = archiveWith({"OLD.TXT"});
    const std::string path = archiveFile("RO.ZIP", old);
    ::chmod(path.c_str(), 0444);
    ui.answerSaveFile(path);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(newArchive(), nullptr);
    EXPECT_EQ(ui.messages().back().text, "Unable to delete read only file " + path + ".");
    EXPECT_EQ(ui.messages().back().buttons, MessageButtons::Ok);
    EXPECT_EQ(readFile(path), old);
    EXPECT_TRUE(manager.documents().empty());
}

// Runs body in a child process that directory permissions bind: the superuser, which the tests run
// as in CI, steps down to the ids of "nobody" first. The child's exit status is what body returned;
// -1 when it could not step down or did not exit.
int runUnprivileged(const std::function<int()>& body)
{
    constexpr uid_t Nobody = 65534;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
            ::_exit(255);
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

TEST_F(ZipDocumentTest, ADirectoryThatRefusesTheDeletionIsReportedAsReadOnly)
{
    const std::string old = archiveWith({"OLD.TXT"});
    const std::string path = archiveFile("locked/A.ZIP", old);
    ::chmod(directory.path().c_str(), 0755);
    ::chmod(directory.file("locked").c_str(), 0555);
    enum Outcome { Refused, Created, OtherMessage };
    const int outcome = runUnprivileged([&] {
        ui.answerSaveFile(path);
        ui.answerMessage(DialogResult::Ok);
        if (newArchive() != nullptr)
            return Created;
        const bool refused = !ui.messages().empty() &&
                             ui.messages().back().text == "Unable to delete read only file " + path + ".";
        return refused ? Refused : OtherMessage;
    });
    ::chmod(directory.file("locked").c_str(), 0755);
    EXPECT_EQ(outcome, Refused);
    EXPECT_EQ(readFile(path), old);
}

TEST_F(ZipDocumentTest, AnyOtherDeletionFailureIsReportedAsUnknown)
{
    const std::string path = directory.file("IS-A-DIRECTORY.ZIP");
    std::filesystem::create_directory(path);
    ui.answerSaveFile(path);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(newArchive(), nullptr);
    EXPECT_EQ(ui.messages().back().text,
              "An unknown error occured while trying to delete file " + path + ".");
    EXPECT_EQ(ui.messages().back().buttons, MessageButtons::Ok);
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST_F(ZipDocumentTest, ANewArchiveClosesTheDocumentOpenOnItsPath)
{
    const std::string path = archiveFile("SAME.ZIP", archiveWith({"A.TXT"}));
    ZipDocument* first = open(path);
    ASSERT_NE(first, nullptr);
    ui.answerSaveFile(path);
    removable = true;
    ZipDocument* second = newArchive();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(manager.documents(), std::vector<Document*>{second});
    EXPECT_TRUE(second->archive().onRemovableDrive);
    EXPECT_EQ(readFile(path), EmptyArchiveBytes);
}

TEST_F(ZipDocumentTest, OpenReadsTheEntriesAndRemembersTheFile)
{
    const std::string path = archiveFile("OPEN.ZIP", archiveWith({"A.TXT", "DIR/B.TXT"}, "hello"));
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->entries().size(), 2u);
    EXPECT_EQ(document->entries()[1]->name, "DIR/B.TXT");
    EXPECT_EQ(document->archive().archiveComment, "hello");
    EXPECT_FALSE(document->isZipInZip());
    EXPECT_FALSE(document->isNested());
    EXPECT_EQ(settings.recentFiles, std::vector<std::string>{path});
}

TEST_F(ZipDocumentTest, TheCopyOfAnOpenItemOpensNestedAndStaysOutOfRecentFiles)
{
    ZipDocument* parent = open(archiveFile("PARENT.ZIP", archiveWith({"INNER.ZIP"})));
    ASSERT_NE(parent, nullptr);
    OpenItem& item = openItems.add(*parent, nullptr);
    item.name = "INNER.ZIP";
    item.tempDirectory = directory.file("scratch/1/0");
    item.kind = OpenItemKind::ZipInZip;
    writeFile(item.fullTemporaryPath(), archiveWith({"X.TXT"}));
    settings.recentFiles.clear();

    ZipDocument* child = open(item.fullTemporaryPath());
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->isZipInZip());
    EXPECT_TRUE(child->isNested());
    EXPECT_TRUE(settings.recentFiles.empty());
    EXPECT_EQ(child->isCommandEnabled(8053), true);
    EXPECT_EQ(child->isCommandEnabled(32772), false);
}

// An archive of two stored entries, A.TXT and B.TXT, whose end record is changed as end says; with
// secondUnsigned, its second central header lacks its signature.
std::string twoEntryArchive(const quarvo::testing::ZipBuilder::End& end = {}, bool secondUnsigned = false)
{
    quarvo::testing::ZipBuilder builder;
    builder.add(quarvo::testing::ZipBuilder::stored("A.TXT", "a"));
    builder.add(quarvo::testing::ZipBuilder::stored("B.TXT", "b"));
    const size_t directoryStart = builder.size();
    std::string bytes = builder.finish(end);
    if (secondUnsigned)
        bytes[directoryStart + 46 + 5] = 'X'; // past the first central header and its name
    return bytes;
}

TEST_F(ZipDocumentTest, AFailedOpenSaysWhyOnASecondLine)
{
    const std::string notAnArchive = "This is not a ZIP archive: it has no end of central directory record.";
    enum class Made { Nothing, Directory, File };
    struct Case {
        const char* rule;
        Made made;
        std::string bytes;
        std::string reason;
    };
    const Case cases[] = {
        {"no such file", Made::Nothing, "", "The file does not exist."},
        {"a directory", Made::Directory, "", "This is a directory or a device, not a file."},
        {"an empty file", Made::File, "", "The file is empty."},
        {"text", Made::File, "this is no archive at all", notAnArchive},
        {"an archive cut short", Made::File, twoEntryArchive().substr(0, 40),
         "The archive is truncated, or is one part of a split archive: its end of central directory record "
         "is missing."},
        {"the last part of a split set", Made::File,
         twoEntryArchive({.thisDisk = 1,
                          .directoryStartDisk = 0,
                          .entriesOnThisDisk = 2,
                          .entriesTotal = 3,
                          .comment = {}}),
         "This is the last part of a split archive (a set spread over several disks or files); join its "
         "parts "
         "into one archive to read it."},
        {"a central header without its signature", Made::File, twoEntryArchive({}, true),
         "The central directory is damaged at entry 2: no central header begins where it should."},
        {"fewer entries than the end record counts", Made::File,
         twoEntryArchive({.entriesOnThisDisk = 3, .entriesTotal = 3, .comment = {}}),
         "The central directory is damaged: it holds 2 entries, its end record counts 3."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const std::string path = directory.file(std::string(c.rule) + ".zip");
        if (c.made == Made::Directory)
            std::filesystem::create_directory(path);
        else if (c.made == Made::File)
            writeFile(path, c.bytes);
        ui.answerMessage(DialogResult::Ok);
        EXPECT_EQ(open(path), nullptr);
        EXPECT_EQ(ui.messages().back().text, "Error loading ZIP File: " + path + "\n" + c.reason);
        EXPECT_EQ(ui.messages().back().buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(ui.messages().size(), std::size(cases));
    EXPECT_TRUE(manager.documents().empty());
}

TEST_F(ZipDocumentTest, AFileTheUserMayNotReadIsReportedWithTheSystemsWords)
{
    const std::string path = archiveFile("SECRET.ZIP", archiveWith({"A.TXT"}));
    ::chmod(directory.path().c_str(), 0755);
    ::chmod(path.c_str(), 0);
    const std::string expected =
        "Error loading ZIP File: " + path + "\nThe file cannot be opened: Permission denied.";
    // The superuser may read any file: the open runs as "nobody", which no bit lets read it.
    const int saidWhy = runUnprivileged([&] {
        ui.answerMessage(DialogResult::Ok);
        return open(path) == nullptr && ui.messageTexts() == std::vector<std::string>{expected} ? 1 : 0;
    });
    EXPECT_EQ(saidWhy, 1);
}

TEST_F(ZipDocumentTest, OnlyAnArchiveThatOpenedEntersTheRecentFiles)
{
    settings.recentFiles = {"/archives/1.zip", "/archives/2.zip", "/archives/3.zip", "/archives/4.zip"};
    const std::vector<std::string> before = settings.recentFiles;
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(open(archiveFile("DAMAGED.ZIP", "damaged")), nullptr);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(open(directory.file("MISSING.ZIP")), nullptr);
    EXPECT_EQ(settings.recentFiles, before);

    const std::string good = archiveFile("GOOD.ZIP", archiveWith({"A.TXT"}));
    ASSERT_NE(open(good), nullptr);
    EXPECT_EQ(settings.recentFiles,
              (std::vector<std::string>{good, "/archives/1.zip", "/archives/2.zip", "/archives/3.zip"}));
}

TEST_F(ZipDocumentTest, OnARemovableDriveTheLastDisketteIsAskedForUntilCancel)
{
    removable = true;
    const std::string path = archiveFile("BACKUP.ZIP", "no end record here");
    ui.answerMessage(DialogResult::Ok);
    ui.answerMessage(DialogResult::Cancel);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(open(path), nullptr);
    const std::string diskette = "The ZIP directory could not be located in the file " + path +
                                 ".  If this is a ZIP backup, please insert the last diskette.";
    EXPECT_EQ(ui.messageTexts(),
              (std::vector<std::string>{diskette, diskette,
                                        "Error loading ZIP File: " + path +
                                            "\nThis is not a ZIP archive: it has no end of central "
                                            "directory record."}));
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::OkCancel);
}

TEST_F(ZipDocumentTest, ReloadDropsVanishedEntriesWithTheirOpenItemsAndRebuildsTheViews)
{
    const std::string path = archiveFile("R.ZIP", archiveWith({"KEEP.TXT", "GONE.TXT"}));
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    RecordingView view;
    document->attachView(&view);
    OpenItem& gone = openItems.add(*document, &view);
    gone.name = "GONE.TXT";
    document->entries()[1]->openItem = &gone;
    document->entries()[0]->selected = true;
    EXPECT_TRUE(document->isModified());

    writeFile(path, archiveWith({"keep.txt", "NEW.TXT"}));
    ASSERT_TRUE(document->reload());
    ASSERT_EQ(document->entries().size(), 2u);
    EXPECT_TRUE(document->entries()[0]->selected);
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(view.hints, std::vector<int>{UpdateHint::ContentsRebuilt});
    document->detachView(&view);
}

TEST_F(ZipDocumentTest, AFailedReloadReportsAndClosesTheDocument)
{
    const std::string path = archiveFile("R.ZIP", archiveWith({"A.TXT"}));
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    writeFile(path, "");
    ui.answerMessage(DialogResult::Ok);
    EXPECT_FALSE(document->reload());
    EXPECT_EQ(ui.messageTexts(),
              std::vector<std::string>{"Error loading ZIP File: " + path + "\nThe file is empty."});
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(manager.documents().empty());
}

TEST_F(ZipDocumentTest, AChangedFileIsReReadAndAnUnchangedOneIsNot)
{
    const std::string path = archiveFile("C.ZIP", archiveWith({"A.TXT"}));
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    RecordingView view;
    document->attachView(&view);

    EXPECT_TRUE(document->checkFileChanged());
    EXPECT_TRUE(view.hints.empty());

    // Same size, another modification time.
    const std::string sameSize = archiveWith({"B.TXT"});
    writeFile(path, sameSize);
    struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_TRUE(document->checkFileChanged());
    EXPECT_EQ(view.hints.size(), 1u);
    EXPECT_EQ(document->entries().front()->name, "B.TXT");

    // Another size, the same modification time.
    writeFile(path, archiveWith({"B.TXT", "C.TXT"}));
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_TRUE(document->checkFileChanged());
    EXPECT_EQ(view.hints.size(), 2u);
    EXPECT_EQ(document->entries().size(), 2u);
    document->detachView(&view);
}

TEST_F(ZipDocumentTest, AVanishedFileClosesTheDocument)
{
    const std::string path = archiveFile("V.ZIP", archiveWith({"A.TXT"}));
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    std::filesystem::remove(path);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_FALSE(document->checkFileChanged());
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Could not find ZIP File: \n\n" + path});
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(manager.documents().empty());
}

TEST_F(ZipDocumentTest, ASpannedArchiveIsNeverCheckedForChanges)
{
    const std::string path = archiveFile("LAST.ZIP", spannedArchive());
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(document->archive().spanned);
    std::filesystem::remove(path);
    EXPECT_TRUE(document->checkFileChanged());
    EXPECT_TRUE(isOpen(document));
}

TEST_F(ZipDocumentTest, DeleteArchiveAsksThenDeletesAndCloses)
{
    const std::string path = archiveFile("D.ZIP", archiveWith({"A.TXT"}));
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);

    ui.answerMessage(DialogResult::No);
    EXPECT_FALSE(document->deleteArchive());
    EXPECT_TRUE(std::filesystem::exists(path));
    const MessageBoxRequest& question = ui.messages().back();
    EXPECT_EQ(question.text, "Are you sure you want to delete the ZIP file?\n\n" + path);
    EXPECT_EQ(question.buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(question.icon, MessageIcon::Warning);
    EXPECT_EQ(question.defaultButton, DialogResult::No);

    ui.answerMessage(DialogResult::Yes);
    EXPECT_TRUE(document->deleteArchive());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(manager.documents().empty());
}

TEST_F(ZipDocumentTest, DeletingAnArchiveWithOpenItemsWarnsOfTheirWindows)
{
    const std::string path = archiveFile("D.ZIP", archiveWith({"A.TXT"}));
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    openItems.add(*document, nullptr).name = "A.TXT";
    ui.answerMessage(DialogResult::Cancel);
    EXPECT_FALSE(document->deleteArchive());
    EXPECT_EQ(
        ui.messages().back().text,
        "Deleting this ZIP file will close all its associated zip in zip windows if they exist and you "
        "will lose all changes to the files showing from this ZIP file.\n\nContinue deleting file?\n\n" +
            path);
    EXPECT_EQ(ui.messages().back().buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(ui.messages().back().icon, MessageIcon::Warning);
    EXPECT_EQ(ui.messages().back().defaultButton, DialogResult::No);
}

TEST_F(ZipDocumentTest, AFailedArchiveDeletionIsReportedAndTheDocumentClosesAnyway)
{
    const std::string path = archiveFile("RO.ZIP", archiveWith({"A.TXT"}));
    ::chmod(path.c_str(), 0444);
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    ui.answerMessage(DialogResult::Yes);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_TRUE(document->deleteArchive());
    EXPECT_EQ(ui.messages().back().text, "An error occured while trying to delete the file.\n\n" + path);
    EXPECT_EQ(ui.messages().back().buttons, MessageButtons::Ok);
    EXPECT_EQ(ui.messages().back().icon, MessageIcon::Warning);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_TRUE(manager.documents().empty());
}

struct GuardCase {
    int commandId;
    bool spanned;
    bool checkedOut;
    bool allowed;
    const char* message; // nullptr: none
};

TEST_F(ZipDocumentTest, TheGuardRefusesWritingToASpannedArchiveAndRemindsBeforeReading)
{
    const char* cannotWrite =
        "You can't convert a ZIP file,add files to a ZIP file or delete files from a ZIP "
        "file that spans disks.";
    const char* cannotDelete = "You can't delete a ZIP file that spans disks.";
    const char* lastDisk = "Please insert the last disk of the backup set.";
    const GuardCase cases[] = {
        // Writing group.
        {2150, false, false, true, nullptr},
        {2150, true, false, false, cannotWrite},
        {2600, true, true, false, cannotWrite},
        {4, true, false, false, cannotWrite},
        {5050, true, false, false, cannotWrite},
        {5051, true, false, false, cannotWrite},
        {5052, true, false, false, cannotWrite},
        {5150, true, false, false, cannotWrite},
        {32780, true, false, false, cannotWrite},
        {32772, true, false, false, cannotDelete},
        {32772, false, false, true, nullptr},
        // Reading group.
        {3050, false, false, true, nullptr},
        {3050, true, false, true, lastDisk},
        {3150, true, false, true, lastDisk},
        {32782, true, false, true, lastDisk},
        {3500, true, false, true, lastDisk},
        {8055, true, false, true, lastDisk},
        {3500, true, true, true, nullptr},
        // The font is always allowed; anything else never, and silently.
        {7052, true, false, true, nullptr},
        {3100, false, false, false, nullptr},
        {3100, true, false, false, nullptr},
        {2250, false, false, false, nullptr},
        {8054, false, false, false, nullptr},
        {0, false, false, false, nullptr},
    };
    ZipDocument* document = open(archiveFile("G.ZIP", archiveWith({"A.TXT"})));
    ASSERT_NE(document, nullptr);
    for (const GuardCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.commandId << (c.spanned ? " spanned" : "") << (c.checkedOut ? " checked out" : ""));
        document->archive().spanned = c.spanned;
        if (c.checkedOut)
            document->setCheckedOut(directory.file("out"));
        const size_t before = ui.messages().size();
        if (c.message)
            ui.answerMessage(DialogResult::Ok);
        EXPECT_EQ(document->canRunCommand(c.commandId), c.allowed);
        if (c.message) {
            ASSERT_EQ(ui.messages().size(), before + 1);
            EXPECT_EQ(ui.messages().back().text, c.message);
            EXPECT_EQ(ui.messages().back().buttons, MessageButtons::Ok);
        } else {
            EXPECT_EQ(ui.messages().size(), before);
        }
        if (c.checkedOut) {
            // Check-out lasts for the document's life: start the next case from a fresh document.
            manager.closeDocument(document);
            document = open(directory.file("G.ZIP"));
            ASSERT_NE(document, nullptr);
        }
    }
}

struct EnableCase {
    int commandId;
    bool zipInZip;
    int selfExtractorKind;
    std::optional<bool> enabled;
};

TEST_F(ZipDocumentTest, CommandsAreEnabledByNestingAndSelfExtractorKind)
{
    const EnableCase cases[] = {
        {32772, false, 0, true},
        {32772, true, 0, false},
        {8053, false, 0, false},
        {8053, true, 0, true},
        {32778, true, 2, true},
        {32779, false, 1, true},
        {2150, false, 0, true},
        {2500, true, 2, true},
        {5150, false, 2, true},
        {5052, false, 0, false},
        {5052, false, 1, true},
        {5052, false, 2, true},
        {5050, false, 0, true},
        {5050, false, 1, false},
        {32780, false, 1, true},
        {32780, false, 2, false},
        {32799, false, 2, true},
        {32799, false, 0, false},
        {57603, false, 0, false},
        // Not the document's command.
        {3050, false, 0, std::nullopt},
    };
    ZipDocument* document = open(archiveFile("E.ZIP", archiveWith({"A.TXT"})));
    ASSERT_NE(document, nullptr);
    ZipDocument* nested = nullptr;
    {
        OpenItem& item = openItems.add(*document, nullptr);
        item.name = "N.ZIP";
        item.tempDirectory = directory.file("t");
        writeFile(item.fullTemporaryPath(), archiveWith({"B.TXT"}));
        nested = open(item.fullTemporaryPath());
        ASSERT_NE(nested, nullptr);
    }
    for (const EnableCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.commandId << " nested " << c.zipInZip << " kind " << c.selfExtractorKind);
        ZipDocument* target = c.zipInZip ? nested : document;
        target->archive().selfExtractorKind = c.selfExtractorKind;
        EXPECT_EQ(target->isCommandEnabled(c.commandId), c.enabled);
    }
}

TEST_F(ZipDocumentTest, InfoShowsEveryFieldFormatted)
{
    quarvo::testing::ScopedEnvironment utc("TZ", "UTC");
    ::tzset();
    ZipDocument* document = open(archiveFile("I.ZIP", archiveWith({"A.TXT"}, "line one\nline two")));
    ASSERT_NE(document, nullptr);
    ZipArchiveRecord& record = document->archive();
    record.fileStatus.size = 1234567;
    record.fileStatus.creationTime = 1741010700; // 2025-03-03 14:05 UTC
    record.entriesTotal = 4321;
    record.totalUncompressed = 10000000;
    record.totalCompressed = 2500000;
    dialogs.expectInfo();
    document->showInfo();
    ASSERT_EQ(dialogs.infoShown().size(), 1u);
    const ZipFileInfo& info = dialogs.infoShown()[0];
    EXPECT_EQ(info.fileName, document->path());
    EXPECT_EQ(info.fileSize, "1,234,567 Bytes");
    EXPECT_EQ(info.dateTime, "Monday, March 03, 2025 at 02:05PM");
    EXPECT_EQ(info.fileCount, "4,321");
    EXPECT_EQ(info.totalUncompressed, "10,000,000 Bytes");
    EXPECT_EQ(info.totalCompressed, "2,500,000 Bytes");
    // Both divided by 1,000 twice: 100 - 2 * 100 / 10.
    EXPECT_EQ(info.percentage, "80%");
    EXPECT_EQ(info.comment, "line one\nline two");

    record.totalUncompressed = 0;
    record.fileStatus.creationTime = 1735085220; // 2024-12-25 00:07 UTC
    dialogs.expectInfo();
    document->showInfo();
    EXPECT_EQ(dialogs.infoShown()[1].percentage, "0%");
    EXPECT_EQ(dialogs.infoShown()[1].dateTime, "Wednesday, December 25, 2024 at 12:07AM");

    // A ZIP64 archive: the file, the count and the totals past 32 bits.
    record.fileStatus.size = uint64_t{6} << 30;
    record.entriesTotal = 70000;
    record.totalUncompressed = uint64_t{20} << 30;
    record.totalCompressed = uint64_t{5} << 30;
    dialogs.expectInfo();
    document->showInfo();
    const ZipFileInfo& large = dialogs.infoShown()[2];
    EXPECT_EQ(large.fileSize, "6,442,450,944 Bytes");
    EXPECT_EQ(large.fileCount, "70,000");
    EXPECT_EQ(large.totalUncompressed, "21,474,836,480 Bytes");
    EXPECT_EQ(large.totalCompressed, "5,368,709,120 Bytes");
    EXPECT_EQ(large.percentage, "77%"); // scaled three times: 100 - 5 * 100 / 21
}

TEST_F(ZipDocumentTest, ClosingWithoutOpenItemsOrCheckOutAsksNothing)
{
    ZipDocument* document = open(archiveFile("Q.ZIP", archiveWith({"A.TXT"})));
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->confirmClose(false), DialogResult::Yes);
    EXPECT_EQ(document->confirmClose(true), DialogResult::Yes);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(ui.closeQuestions().empty());
}

TEST_F(ZipDocumentTest, OpenItemsAskTheCloseQuestionInBothModes)
{
    const std::string path = archiveFile("Q.ZIP", archiveWith({"A.TXT"}));
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    openItems.add(*document, nullptr).name = "A.TXT";
    const std::string question =
        "Closing this ZIP file will close all its associated zip in zip windows if they exist and you will "
        "lose "
        "all changes to the files showing from this ZIP file.\n\nContinue closing this ZIP file?\n\n" +
        path;

    ui.answerMessage(DialogResult::No);
    EXPECT_EQ(document->confirmClose(false), DialogResult::No);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, question);
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(ui.messages()[0].defaultButton, DialogResult::No);

    ui.answerCloseQuestion(DialogResult::YesToAll);
    EXPECT_EQ(document->confirmClose(true), DialogResult::YesToAll);
    EXPECT_EQ(ui.closeQuestions(), std::vector<std::string>{question});
}

TEST_F(ZipDocumentTest, TheCheckOutQuestionIsAskedEvenWhenTheCloseIsDeclined)
{
    const std::string path = archiveFile("Q.ZIP", archiveWith({"A.TXT", "SUB/B.TXT"}));
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    const std::string out = directory.file("out");
    writeFile(out + "/A.TXT", "a");
    writeFile(out + "/SUB/B.TXT", "b");
    document->setCheckedOut(out);
    openItems.add(*document, nullptr).name = "A.TXT";

    ui.answerMessage(DialogResult::No);
    ui.answerMessage(DialogResult::No);
    EXPECT_EQ(document->confirmClose(false), DialogResult::No);
    const MessageBoxRequest& checkOut = ui.messages().back();
    EXPECT_EQ(checkOut.text, path + " has been Checked Out.\n\nDelete checked out files?");
    EXPECT_EQ(checkOut.buttons, MessageButtons::YesNo);
    EXPECT_EQ(checkOut.icon, MessageIcon::Warning);
    EXPECT_EQ(checkOut.defaultButton, DialogResult::No);
    EXPECT_TRUE(std::filesystem::exists(out + "/SUB/B.TXT"));

    ui.answerMessage(DialogResult::Yes);
    ui.answerMessage(DialogResult::Yes);
    EXPECT_EQ(document->confirmClose(false), DialogResult::Yes);
    EXPECT_FALSE(std::filesystem::exists(out + "/A.TXT"));
    EXPECT_FALSE(std::filesystem::exists(out + "/SUB"));
    EXPECT_TRUE(std::filesystem::is_directory(out));
}

TEST_F(ZipDocumentTest, DeletingCheckedOutFilesNeverReachesOutsideTheCheckOutDirectory)
{
    // Names a hostile archive may hold: a climb out, and a path through a link planted in the
    // check-out directory that points elsewhere.
    const std::string path = archiveFile("H.ZIP", archiveWith({"../victim.txt", "link/kept.txt", "A.TXT"}));
    ZipDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    const std::string out = directory.file("out");
    const std::string elsewhere = directory.file("elsewhere");
    writeFile(directory.file("victim.txt"), "v");
    writeFile(elsewhere + "/kept.txt", "k");
    writeFile(out + "/A.TXT", "a");
    std::filesystem::create_directory_symlink(elsewhere, out + "/link");
    document->setCheckedOut(out);

    ui.answerMessage(DialogResult::Yes);
    EXPECT_EQ(document->confirmClose(false), DialogResult::Yes);
    EXPECT_FALSE(std::filesystem::exists(out + "/A.TXT"));
    EXPECT_TRUE(std::filesystem::exists(directory.file("victim.txt")));
    EXPECT_TRUE(std::filesystem::exists(elsewhere + "/kept.txt"));
    EXPECT_TRUE(std::filesystem::is_directory(out));
}

TEST_F(ZipDocumentTest, ClosingDropsEveryOpenItemOfTheDocument)
{
    ZipDocument* document = open(archiveFile("P.ZIP", archiveWith({"A.TXT", "B.TXT"})));
    ZipDocument* other = open(archiveFile("O.ZIP", archiveWith({"C.TXT"})));
    ASSERT_NE(document, nullptr);
    ASSERT_NE(other, nullptr);
    OpenItem& linked = openItems.add(*document, nullptr);
    linked.name = "A.TXT";
    document->entries()[0]->openItem = &linked;
    openItems.add(*document, nullptr).name = "STRAY.TXT";
    openItems.add(*other, nullptr).name = "C.TXT";
    manager.closeDocument(document);
    EXPECT_EQ(openItems.size(), 1u);
    EXPECT_EQ(openItems.countFor(*other), 1);
}

TEST_F(ZipDocumentTest, ClosingANestedArchiveHandsItsCopyBackToTheParentCheck)
{
    ZipDocument* parent = open(archiveFile("PARENT.ZIP", archiveWith({"IN.ZIP"})));
    ASSERT_NE(parent, nullptr);
    OpenItem& item = openItems.add(*parent, nullptr);
    item.name = "IN.ZIP";
    item.kind = OpenItemKind::ZipInZip;
    item.tempDirectory = directory.file("scratch/7/0");
    writeFile(item.fullTemporaryPath(), archiveWith({"X.TXT"}));
    std::vector<int> advancedKinds;
    openItems.setAdvanceHandler([&](OpenItem& advanced) { advancedKinds.push_back(advanced.kind); });

    ZipDocument* child = open(item.fullTemporaryPath());
    ASSERT_NE(child, nullptr);
    manager.closeDocument(child);
    EXPECT_EQ(advancedKinds, std::vector<int>{OpenItemKind::ZipInZipClosing});
    // The item belongs to the parent and stays for its check.
    EXPECT_EQ(openItems.countFor(*parent), 1);

    item.kind = OpenItemKind::ZipInZip;
    child = open(item.fullTemporaryPath());
    ASSERT_NE(child, nullptr);
    child->setUpdateParentOnClose(false);
    manager.closeDocument(child);
    EXPECT_EQ(advancedKinds.size(), 1u);
}

} // namespace
