// What happens when the program that had an entry's copy ends, or a nested archive's window closes:
// the changed-file check, the put-back and the copy that is kept when it does not go back.

#include "EntryLaunchFixture.h"

#include "core/ui/DialogResult.h"
#include "engines/api/EngineResult.h"

#include <fcntl.h>
#include <sys/stat.h>

using namespace quarvo;
using quarvo::testing::archiveWith;
using quarvo::testing::crc32Of;
using quarvo::testing::EntryLaunchTest;
using quarvo::testing::FakeLauncher;
using quarvo::testing::readFile;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

namespace {

constexpr const char* Question =
    "The file has changed. Do you want to update the ZIP file with the changed file?\n\n";

// Writes new contents and gives the file back its old modification time, to the nanosecond.
void rewriteKeepingTime(const std::string& path, const std::string& contents)
{
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    writeFile(path, contents);
    struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class OpenItemStagesTest : public EntryLaunchTest {
  protected:
    // Views the entry with a "program" that does edit to the copy it was given.
    void viewAndEdit(ZipDocument& document, const std::string& name,
                     std::function<void(const std::string&)> edit)
    {
        launcher.onLaunch = [edit](const FakeLauncher::Launch& launch) { edit(launch.path); };
        view(document, name);
        launcher.onLaunch = nullptr;
    }
    void endProgram() { openItems.processEnded(lastProcess()); }

    // The one directory under the kept place and the file in it.
    std::vector<fs::path> keptFiles() const
    {
        std::vector<fs::path> files;
        if (!fs::exists(launchServices.keptDirectory))
            return files;
        for (const auto& item : fs::recursive_directory_iterator(launchServices.keptDirectory)) {
            if (item.is_regular_file())
                files.push_back(item.path());
        }
        return files;
    }
};

TEST_F(OpenItemStagesTest, AnUnchangedCopyIsClosedWithoutAQuestion)
{
    ZipDocument* document = openArchive("U.ZIP", {{"a.txt", "same"}});
    ASSERT_NE(document, nullptr);
    const std::string before = readFile(document->path());
    view(*document, "a.txt");
    // Read again, even rewritten with the same bytes and time: nothing changed.
    rewriteKeepingTime(lastFile(), "same");
    endProgram();
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(entryNamed(*document, "a.txt")->openItem, nullptr);
    EXPECT_TRUE(itemDirectories().empty());
    EXPECT_EQ(readFile(document->path()), before);
    // A process that is no longer known is ignored.
    endProgram();
}

// AES-256 entries (AE-2) store 0 for their CRC-32; the copy's own, taken once the authentication
// code has vouched for it, is what it is compared with.
TEST_F(OpenItemStagesTest, AnUnchangedCopyOfAnAesEntryIsClosedWithoutAQuestion)
{
    settings.zipOptions.encryption = ZipEncryptionChoice::Aes256;
    ZipDocument* document = openEngineArchive("AES.ZIP", {{"a.txt", "same"}}, 5, "pw");
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(entryNamed(*document, "a.txt")->crc32, 0u);
    ui.answerPassword(DialogResult::Ok, "pw");
    view(*document, "a.txt");
    endProgram();
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_FALSE(document->isModified());
}

TEST_F(OpenItemStagesTest, AProgramThatHandedItsFileOverIsWaitedForUntilTheCopyChanges)
{
    ZipDocument* document = openArchive("H.ZIP", {{"a.txt", "old"}});
    ASSERT_NE(document, nullptr);
    launcher.handOffAnswer = true;
    view(*document, "a.txt");
    const int64_t process = lastProcess();
    // It ended at once with the copy as it was: the copy is watched, the item stays.
    endProgram();
    ASSERT_EQ(launcher.handOffs().size(), 1u);
    EXPECT_EQ(launcher.handOffs()[0], std::make_pair(process, lastFile()));
    EXPECT_EQ(openItems.size(), 1u);
    EXPECT_TRUE(document->isModified());
    EXPECT_TRUE(ui.messages().empty());
    // The instance it handed the file to saved it: the launcher reports the same process again.
    writeFile(lastFile(), "new");
    ui.answerMessage(DialogResult::No);
    ui.answerMessage(DialogResult::Ok);
    openItems.processEnded(process);
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[0].text, std::string(Question) + "a.txt");
    EXPECT_EQ(openItems.size(), 0u);
    // A copy still unchanged after a hand-off ends the item; the launcher is asked only once.
    view(*document, "a.txt");
    endProgram();
    endProgram();
    EXPECT_EQ(launcher.handOffs().size(), 2u);
    EXPECT_EQ(openItems.size(), 0u);
}

TEST_F(OpenItemStagesTest, YesPutsTheChangeBackWithTheEntrysMethod)
{
    // A stored entry is stored again, a deflated one deflated again; even an edit that keeps the
    // size and the time (within one two-second tick) is seen and goes back.
    struct Case {
        int level;
        uint16_t method;
        bool keepTime;
    };
    const Case cases[] = {{0, 0, false}, {5, 8, false}, {5, 8, true}, {0, 0, true}};
    int round = 0;
    for (const Case& test : cases) {
        const std::string name = "M" + std::to_string(++round) + ".ZIP";
        const std::string original(4000, 'a');
        const std::string changed = std::string(3999, 'a') + "b";
        ZipDocument* document = openEngineArchive(name, {{"text.txt", original}}, test.level);
        ASSERT_NE(document, nullptr);
        ASSERT_EQ(entryNamed(*document, "text.txt")->method, test.method);
        viewAndEdit(*document, "text.txt", [&](const std::string& copy) {
            if (test.keepTime)
                rewriteKeepingTime(copy, changed);
            else
                writeFile(copy, changed + "\n");
        });
        const std::string expected = test.keepTime ? changed : changed + "\n";
        ui.answerMessage(DialogResult::Yes);
        endProgram();
        ASSERT_EQ(ui.messages().size(), size_t(round)) << name;
        EXPECT_EQ(ui.messages().back().text, Question + std::string("text.txt"));
        EXPECT_EQ(ui.messages().back().buttons, MessageButtons::YesNo);
        EXPECT_EQ(ui.messages().back().icon, MessageIcon::Warning);
        EXPECT_EQ(windows.raised, round);
        ZipEntry* entry = entryNamed(*document, "text.txt");
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->crc32, crc32Of(expected)) << name;
        EXPECT_EQ(entry->method, test.method) << name;
        EXPECT_EQ(document->entries().size(), 1u);
        EXPECT_EQ(unzipped(document->path(), "text.txt"), expected) << name;
        EXPECT_EQ(openItems.size(), 0u);
        EXPECT_TRUE(itemDirectories().empty());
        EXPECT_TRUE(keptFiles().empty());
    }
}

// The way it came: AES-256 stays AES-256 and the traditional cipher stays traditional, whatever the
// ZIP Options say meanwhile. 7-Zip reads both.
TEST_F(OpenItemStagesTest, AnEncryptedEntryGoesBackEncryptedWithItsPassword)
{
    if (!quarvo::testing::toolsInstalled({"7z"}))
        GTEST_SKIP() << "7z is not installed";
    for (const int encryption : {ZipEncryptionChoice::Aes256, ZipEncryptionChoice::Traditional}) {
        SCOPED_TRACE(encryption);
        settings.zipOptions.encryption = encryption;
        const std::string name = "ENC" + std::to_string(encryption) + ".ZIP";
        ZipDocument* document = openEngineArchive(name, {{"secret.txt", "old secret"}}, 5, "pw");
        ASSERT_NE(document, nullptr);
        settings.zipOptions.encryption = 1 - encryption;
        ui.answerPassword(DialogResult::Ok, "pw");
        viewAndEdit(*document, "secret.txt", [](const std::string& copy) { writeFile(copy, "new secret"); });
        ui.answerMessage(DialogResult::Yes);
        endProgram();
        ZipEntry* entry = entryNamed(*document, "secret.txt");
        ASSERT_TRUE(entry);
        EXPECT_TRUE(entry->isEncrypted());
        EXPECT_EQ(entry->aes.has_value(), encryption == ZipEncryptionChoice::Aes256);
        EXPECT_EQ(quarvo::testing::runProcess("7z", {"e", "-so", "-ppw", document->path(), "secret.txt"}, directory.path()).out,
                  "new secret");
    }
}

TEST_F(OpenItemStagesTest, NoKeepsTheEditedCopyWhereTheMessageSays)
{
    ZipDocument* document = openArchive("NO.ZIP", {{"dir/notes.txt", "old"}});
    ASSERT_NE(document, nullptr);
    const std::string before = readFile(document->path());
    viewAndEdit(*document, "dir/notes.txt", [](const std::string& copy) { writeFile(copy, "edited"); });
    ui.answerMessage(DialogResult::No);
    ui.answerMessage(DialogResult::Ok);
    endProgram();
    std::vector<fs::path> kept = keptFiles();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].filename(), "notes.txt");
    EXPECT_TRUE(kept[0].parent_path().filename().string().starts_with("NO-"));
    EXPECT_EQ(readFile(kept[0]), "edited");
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[1].text,
              "The changed file was not put back into the ZIP file. It was kept as:\n\n" + kept[0].string());
    EXPECT_EQ(readFile(document->path()), before);
    EXPECT_TRUE(itemDirectories().empty());
    EXPECT_EQ(openItems.size(), 0u);
}

TEST_F(OpenItemStagesTest, AFailedPutBackKeepsTheCopyToo)
{
    ZipDocument* document = openArchive("F.ZIP", {{"a.txt", "old"}});
    ASSERT_NE(document, nullptr);
    viewAndEdit(*document, "a.txt", [](const std::string& copy) { writeFile(copy, "edited"); });
    realEngines.zipFailure = EngineResult::WriteError;
    ui.answerMessage(DialogResult::Yes);
    ui.answerMessage(DialogResult::Ok);
    endProgram();
    std::vector<fs::path> kept = keptFiles();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readFile(kept[0]), "edited");
    EXPECT_EQ(ui.messageTexts().back(),
              "The ZIP file was not updated with the changed file. It was kept as:\n\n" + kept[0].string());
    EXPECT_EQ(ui.messages().back().icon, MessageIcon::Warning);
    EXPECT_EQ(entryNamed(*document, "a.txt")->crc32, crc32Of("old"));
}

TEST_F(OpenItemStagesTest, WhenNoPlaceToKeepItTheCopyStaysInItsDirectory)
{
    writeFile(launchServices.keptDirectory, "a file where the directory should be");
    ZipDocument* document = openArchive("K.ZIP", {{"a.txt", "old"}});
    ASSERT_NE(document, nullptr);
    viewAndEdit(*document, "a.txt", [](const std::string& copy) { writeFile(copy, "edited"); });
    const std::string copy = lastFile();
    ui.answerMessage(DialogResult::No);
    ui.answerMessage(DialogResult::Ok);
    endProgram();
    const std::string text = ui.messageTexts().back();
    EXPECT_TRUE(text.starts_with("The changed file could not be kept (")) << text;
    EXPECT_NE(text.find("It stays at\n\n" + copy + "\n\nuntil Quarvo ends"), std::string::npos) << text;
    EXPECT_EQ(readFile(copy), "edited");
    EXPECT_EQ(openItems.size(), 0u);
}

TEST_F(OpenItemStagesTest, ACopyThatVanishedOrBecameALinkIsClosedWithoutReadingIt)
{
    writeFile(directory.file("outside.txt"), "not the copy, and longer than it");
    ZipDocument* document = openArchive("G.ZIP", {{"gone.txt", "g"}, {"link.txt", "l"}});
    ASSERT_NE(document, nullptr);
    viewAndEdit(*document, "gone.txt", [](const std::string& copy) { fs::remove(copy); });
    endProgram();
    viewAndEdit(*document, "link.txt", [&](const std::string& copy) {
        fs::remove(copy);
        fs::create_symlink(directory.file("outside.txt"), copy);
    });
    endProgram();
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());
    EXPECT_EQ(readFile(directory.file("outside.txt")), "not the copy, and longer than it");
}

TEST_F(OpenItemStagesTest, AChangedNestedArchiveIsOfferedBackToItsParentWhenItsWindowCloses)
{
    ZipDocument* parent = openArchive("PARENT.ZIP", {{"INNER.ZIP", archiveWith({"X.TXT"})}});
    ASSERT_NE(parent, nullptr);
    view(*parent, "INNER.ZIP");
    OpenItem* item = entryNamed(*parent, "INNER.ZIP")->openItem;
    ASSERT_NE(item, nullptr);
    Document* nested = manager.findByPath(item->fullTemporaryPath());
    ASSERT_NE(nested, nullptr);
    const std::string changed = archiveWith({"X.TXT", "Y.TXT"});
    writeFile(nested->path(), changed);

    ui.answerMessage(DialogResult::Yes);
    manager.closeDocument(nested);
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{Question + std::string("INNER.ZIP")});
    ASSERT_NE(entryNamed(*parent, "INNER.ZIP"), nullptr);
    EXPECT_EQ(entryNamed(*parent, "INNER.ZIP")->crc32, crc32Of(changed));
    EXPECT_EQ(unzipped(parent->path(), "INNER.ZIP"), changed);
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());
    // The window being closed is not closed a second time.
    EXPECT_TRUE(windows.closed.empty());

    // Unchanged, it just goes.
    view(*parent, "INNER.ZIP");
    manager.closeDocument(
        manager.findByPath(entryNamed(*parent, "INNER.ZIP")->openItem->fullTemporaryPath()));
    EXPECT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(openItems.size(), 0u);
}

} // namespace
