// View and Run of an archive entry up to the launch: what is refused, what is asked, where the entry
// goes and what is left behind when the user cancels.

#include "EntryLaunchFixture.h"

#include "core/documents/OpenItemStages.h"
#include "core/documents/ShowParentCommand.h"
#include "core/ui/DialogResult.h"

#include <sys/stat.h>

using namespace quarvo;
using quarvo::testing::archiveWith;
using quarvo::testing::EntryLaunchTest;
using quarvo::testing::FakeLauncher;
using quarvo::testing::readFile;
using quarvo::testing::ScopedEnvironment;
using quarvo::testing::ScriptedUserInterface;
using quarvo::testing::writeFile;
using quarvo::testing::ZipBuilder;
namespace fs = std::filesystem;

namespace {

using OpenEntryCommandTest = EntryLaunchTest;

TEST_F(OpenEntryCommandTest, ViewExtractsTheEntryIntoAPrivateDirectoryAndLaunchesIt)
{
    ZipDocument* document = openArchive("A.ZIP", {{"doc/read me.txt", "hello"}, {"b.txt", "bee"}});
    ASSERT_NE(document, nullptr);
    view(*document, "doc/read me.txt");

    ASSERT_EQ(openItems.size(), 1u);
    OpenItem& item = *entryNamed(*document, "doc/read me.txt")->openItem;
    EXPECT_EQ(item.stage, OpenItemStage::Watched);
    EXPECT_EQ(item.kind, OpenItemKind::LaunchedFile);
    EXPECT_TRUE(item.ownsDirectory);
    EXPECT_EQ(fs::path(item.tempDirectory).parent_path(), fs::path(launchServices.scratchDirectory));
    EXPECT_TRUE(fs::path(item.tempDirectory).filename().string().starts_with("item-"));
    EXPECT_EQ(fs::status(item.tempDirectory).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(readFile(item.fullTemporaryPath()), "hello");
    ASSERT_EQ(launcher.launches().size(), 1u);
    EXPECT_EQ(launcher.launches()[0].kind, FakeLauncher::Kind::Association);
    EXPECT_EQ(launcher.launches()[0].path, item.tempDirectory + "/doc/read me.txt");
    EXPECT_EQ(item.launch.processId, lastProcess());
    EXPECT_TRUE(document->isModified());
    EXPECT_EQ(listing.hints.back(), UpdateHint::Repaint);
    EXPECT_TRUE(ui.messages().empty());

    // Two entries viewed at once never share a directory.
    view(*document, "b.txt");
    EXPECT_EQ(itemDirectories().size(), 2u);
}

TEST_F(OpenEntryCommandTest, NothingIsOpenedWithoutAFileOrForALink)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("dir/", ""));
    ZipBuilder::Entry symbolicLink = ZipBuilder::stored("passwords", "/etc/shadow");
    symbolicLink.externalAttributes = 0120777u << 16;
    builder.add(symbolicLink);
    ZipDocument* document = open(archiveFile("L.ZIP", builder.finish()));
    ASSERT_NE(document, nullptr);
    const std::string noFile = "You must select a file for this operation to work.";
    for (ZipEntry* entry : {static_cast<ZipEntry*>(nullptr), entryNamed(*document, "dir/")}) {
        ui.answerMessage(DialogResult::Ok);
        openEntry(*document, &listing, entry, false);
    }
    ui.answerMessage(DialogResult::Ok);
    view(*document, "passwords");
    EXPECT_EQ(
        ui.messageTexts(),
        (std::vector<std::string>{noFile, noFile,
                                  "The file selected is stored as a symbolic link. Quarvo does not show or "
                                  "run links, so that a link never leads it to another file.\n\npasswords"}));
    for (const MessageBoxRequest& message : ui.messages())
        EXPECT_EQ(message.icon, MessageIcon::Warning);
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());
    EXPECT_TRUE(launcher.launches().empty());
}

TEST_F(OpenEntryCommandTest, RunAsksForTheCommandLineAndCancelLeavesNothing)
{
    ZipDocument* document = openArchive("R.ZIP", {{"my tool.sh", "#!/bin/sh\n"}, {"plain.txt", "x"}});
    ASSERT_NE(document, nullptr);
    ui.answerCommandLine(DialogResult::Cancel);
    openEntry(*document, &listing, entryNamed(*document, "my tool.sh"), true);
    using Prompt = ScriptedUserInterface::CommandLinePrompt;
    EXPECT_EQ(ui.commandLinesShown(),
              (std::vector<Prompt>{{"Executing the following command line.", "\"my tool.sh\""}}));
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(entryNamed(*document, "my tool.sh")->openItem, nullptr);
    EXPECT_TRUE(itemDirectories().empty());

    // The edited command runs in the entry's directory, the entry given by its relative name.
    fs::create_directories(directory.file("bin"));
    writeFile(directory.file("bin/tool"), "#!/bin/sh\n");
    fs::permissions(directory.file("bin/tool"), fs::perms::owner_all);
    ScopedEnvironment path("PATH", directory.file("bin"));
    ui.answerCommandLine(DialogResult::Ok, "tool -x plain.txt");
    openEntry(*document, &listing, entryNamed(*document, "plain.txt"), true);
    ASSERT_EQ(launcher.launches().size(), 1u);
    const FakeLauncher::Launch& started = launcher.launches()[0];
    EXPECT_EQ(started.path, directory.file("bin/tool"));
    EXPECT_EQ(started.arguments, (std::vector<std::string>{"-x", "plain.txt"}));
    EXPECT_EQ(readFile(started.directory + "/plain.txt"), "x");
    EXPECT_EQ(entryNamed(*document, "plain.txt")->openItem->commandLine, "tool -x plain.txt");
}

// For either cipher the engine writes: AES-256 by default, the traditional one on request.
TEST_F(OpenEntryCommandTest, AnEncryptedEntryAsksForItsPasswordAndExtractsWithIt)
{
    for (const int encryption : {ZipEncryptionChoice::Aes256, ZipEncryptionChoice::Traditional}) {
        SCOPED_TRACE(encryption);
        settings.zipOptions.encryption = encryption;
        const std::string name = "E" + std::to_string(encryption) + ".ZIP";
        ZipDocument* document = openEngineArchive(name, {{"secret.txt", "top secret"}}, 5, "pw");
        ASSERT_NE(document, nullptr);
        ASSERT_TRUE(entryNamed(*document, "secret.txt")->isEncrypted());
        EXPECT_EQ(entryNamed(*document, "secret.txt")->aes.has_value(), encryption == ZipEncryptionChoice::Aes256);
        const size_t asked = ui.passwordsAskedFor().size();
        ui.answerPassword(DialogResult::Cancel);
        view(*document, "secret.txt");
        EXPECT_EQ(openItems.size(), 0u);
        EXPECT_TRUE(itemDirectories().empty());

        ui.answerPassword(DialogResult::Ok, "pw");
        view(*document, "secret.txt");
        ASSERT_EQ(ui.passwordsAskedFor().size(), asked + 2);
        EXPECT_EQ(ui.passwordsAskedFor().back(), "secret.txt");
        EXPECT_EQ(readFile(lastFile()), "top secret");
        // Done with it, so the next archive's entry of the same name may be viewed.
        EXPECT_TRUE(closeOpenItem(*document, *entryNamed(*document, "secret.txt")->openItem));
        EXPECT_EQ(openItems.size(), 0u);
    }
}

TEST_F(OpenEntryCommandTest, AWrongPasswordExtractsNothingAndSaysSo)
{
    for (const int encryption : {ZipEncryptionChoice::Aes256, ZipEncryptionChoice::Traditional}) {
        SCOPED_TRACE(encryption);
        settings.zipOptions.encryption = encryption;
        const std::string name = "W" + std::to_string(encryption) + ".ZIP";
        ZipDocument* document = openEngineArchive(name, {{"secret.txt", "top secret"}}, 5, "pw");
        ASSERT_NE(document, nullptr);
        ui.answerPassword(DialogResult::Ok, "wrong");
        ui.answerMessage(DialogResult::Ok); // the engine's report
        view(*document, "secret.txt");
        EXPECT_EQ(openItems.size(), 0u);
        EXPECT_TRUE(itemDirectories().empty());
        EXPECT_TRUE(launcher.launches().empty());
    }
}

TEST_F(OpenEntryCommandTest, TheSameNameFromAnotherArchiveIsRefusedAndThatArchiveComesForward)
{
    ZipDocument* first = openArchive("ONE.ZIP", {{"same.txt", "one"}});
    ZipDocument* second = openArchive("TWO.ZIP", {{"SAME.TXT", "two"}});
    ASSERT_TRUE(first && second);
    view(*first, "same.txt");
    ui.answerMessage(DialogResult::Ok);
    view(*second, "SAME.TXT");
    EXPECT_EQ(ui.messageTexts(),
              std::vector<std::string>{"The file selected can not be shown or run because it "
                                       "is already being shown or run from another ZIP "
                                       "File.\n\nsame.txt"});
    EXPECT_EQ(windows.opened, std::vector<std::string>{first->path()});
    EXPECT_EQ(openItems.size(), 1u);

    // When that archive's window cannot be brought back, its item goes.
    windows.refuseToOpen = true;
    ui.answerMessage(DialogResult::Ok);
    view(*second, "SAME.TXT");
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());
}

TEST_F(OpenEntryCommandTest, ViewingAgainBringsTheProgramForwardOrChecksWhatItLeft)
{
    ZipDocument* document = openArchive("V.ZIP", {{"a.txt", "a"}});
    ASSERT_NE(document, nullptr);
    settings.alwaysOnTop = 1;
    view(*document, "a.txt");
    EXPECT_EQ(windows.leftAlwaysOnTop, 1);
    const int64_t process = lastProcess();

    view(*document, "a.txt");
    EXPECT_EQ(launcher.activated(), std::vector<int64_t>{process});
    EXPECT_EQ(launcher.launches().size(), 1u);

    // The program has no window any more: what it left is checked; unchanged, the item goes.
    launcher.activateAnswer = false;
    ui.answerMessage(DialogResult::Ok);
    view(*document, "a.txt");
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Quarvo could not find the active application."});
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());

    // A program that ended at once, its copy watched for a hand-off, is not looked for: the copy is
    // checked without a word, and the item goes.
    launcher.handOffAnswer = true;
    view(*document, "a.txt");
    openItems.processEnded(lastProcess());
    ASSERT_EQ(openItems.size(), 1u);
    const size_t activations = launcher.activated().size();
    view(*document, "a.txt");
    EXPECT_EQ(launcher.activated().size(), activations);
    EXPECT_EQ(ui.messageTexts().size(), 1u);
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());
}

TEST_F(OpenEntryCommandTest, AnArchiveEntryOpensAsANestedWindowAndShowParentComesBack)
{
    const std::string inner = archiveWith({"X.TXT"});
    ZipDocument* parent = openArchive("P.ZIP", {{"sub/INNER.ZIP", inner}, {"tool.exe", "MZ no archive"}});
    ASSERT_NE(parent, nullptr);
    view(*parent, "sub/INNER.ZIP");
    OpenItem* item = entryNamed(*parent, "sub/INNER.ZIP")->openItem;
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->kind, OpenItemKind::ZipInZip);
    EXPECT_EQ(item->stage, OpenItemStage::Watched);
    EXPECT_EQ(windows.opened, std::vector<std::string>{item->fullTemporaryPath()});
    auto* nested = dynamic_cast<ZipDocument*>(manager.findByPath(item->fullTemporaryPath()));
    ASSERT_NE(nested, nullptr);
    EXPECT_TRUE(nested->isZipInZip());
    EXPECT_TRUE(launcher.launches().empty());

    EXPECT_TRUE(showParent(*nested));
    EXPECT_EQ(windows.broughtForward, std::vector<View*>{&listing});

    // Viewing it again brings its window back.
    view(*parent, "sub/INNER.ZIP");
    EXPECT_EQ(windows.opened.size(), 2u);

    // An ".exe" that holds no archive is launched like any file.
    view(*parent, "tool.exe");
    ASSERT_EQ(launcher.launches().size(), 1u);
    EXPECT_EQ(entryNamed(*parent, "tool.exe")->openItem->kind, OpenItemKind::LaunchedFile);

    // Closing the parent closes the nested window, asks nothing, and leaves no copy behind.
    manager.closeDocument(parent);
    EXPECT_FALSE(isOpen(nested));
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());
}

TEST_F(OpenEntryCommandTest, ACopyThatIsNotThereOrCannotBeMadeIsReported)
{
    ZipDocument* document = openArchive("M.ZIP", {{"gone.txt", "g"}, {"b.zip", "b"}});
    ASSERT_NE(document, nullptr);
    // Checked out, but the user deleted the file since: nothing to open, whether it would be launched
    // or opened as an archive.
    fs::create_directories(directory.file("out"));
    document->setCheckedOut(directory.file("out"));
    for (const char* name : {"gone.txt", "b.zip"}) {
        ui.answerMessage(DialogResult::Ok);
        view(*document, name);
        EXPECT_EQ(ui.messageTexts().back(),
                  "An error occured while extracting the file " + std::string(name) +
                      ". The file was NOT extracted.  If a password was required, try again (You might have "
                      "supplied a wrong password).");
        EXPECT_EQ(ui.messages().back().icon, MessageIcon::Warning);
    }
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(launcher.launches().empty());
    EXPECT_TRUE(windows.opened.empty());

    // Without a scratch directory there is nowhere to extract to.
    ZipDocument* other = openArchive("S.ZIP", {{"s.txt", "s"}});
    ASSERT_NE(other, nullptr);
    launchServices.scratchDirectory.clear();
    ui.answerMessage(DialogResult::Ok);
    view(*other, "s.txt");
    EXPECT_EQ(ui.messageTexts().back(),
              "There is no place to extract s.txt to: There is no scratch directory.");
    EXPECT_EQ(openItems.size(), 0u);
}

TEST_F(OpenEntryCommandTest, AJobFileThatCannotOpenClosesItsItem)
{
    ZipDocument* document = openArchive("J.ZIP", {{"backup.cfz", "[ZIP]\n"}});
    ASSERT_NE(document, nullptr);
    windows.refuseToOpen = true;
    view(*document, "backup.cfz");
    ASSERT_EQ(windows.opened.size(), 1u);
    EXPECT_TRUE(windows.opened[0].ends_with("/backup.cfz"));
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());
    EXPECT_TRUE(launcher.launches().empty());
}

} // namespace
