// Viewing, running and checking out the entries of a TAR archive through the stage machine it shares
// with ZIP archives, over the real TAR engine and a recording launcher; and a TAR archive opened from
// an entry of a ZIP archive as a nested window.

#include "core/documents/EntryLaunchFixture.h"

#include "core/app/CommandIds.h"
#include "core/documents/CheckOutCommand.h"
#include "core/documents/ShowParentCommand.h"
#include "core/tar/LinkedTarEngine.h"
#include "core/tar/TarDocument.h"
#include "core/ui/DialogResult.h"
#include "support/TarBuilder.h"

#include <set>

using namespace quarvo;
using quarvo::testing::crc32Of;
using quarvo::testing::EntryLaunchTest;
using quarvo::testing::FakeLauncher;
using quarvo::testing::readFile;
using quarvo::testing::TarBuilder;
using quarvo::testing::writeFile;
using quarvo::testing::ZipBuilder;
namespace fs = std::filesystem;

namespace {

constexpr const char* ReadOnlyQuestion =
    "The file has changed, but a TAR archive is read-only: the changed file cannot be put back into "
    "it.\n\nDo you want to keep the changed file elsewhere?\n\n";
constexpr const char* KeptText = "The changed file was kept as:\n\n";

// A job file's window as far as the stage machine can tell: it opens.
class OpenedJob : public Document {
  public:
    bool onOpenDocument(const std::string&) override { return true; }
};

// Every path below root, relative, directories with a trailing "/".
std::set<std::string> treeOf(const std::string& root)
{
    std::set<std::string> paths;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        std::string path = fs::relative(item.path(), root).string();
        paths.insert(item.is_directory() ? path + "/" : path);
    }
    return paths;
}

std::string tarOf(const std::map<std::string, std::string>& files)
{
    TarBuilder builder;
    for (const auto& [name, data] : files)
        builder.add(TarBuilder::file(name, data));
    return builder.finish();
}

// TAR documents beside the ZIP ones of the entry fixture, made as the application makes them, with a
// job kind whose documents always open.
class TarEntryLaunchTest : public EntryLaunchTest {
  protected:
    TarEntryLaunchTest()
    {
        for (const char* extension : {".tar", ".tgz"}) {
            DocumentKind kind;
            kind.extension = extension;
            kind.create = [this] {
                TarDocumentServices services{
                    ui, dialogs, settings, openItems, tarEngine, manager, directory.file("unpacked")};
                services.entryLaunch = &launchServices;
                return std::make_unique<TarDocument>(services);
            };
            manager.registerKind(std::move(kind));
        }
        DocumentKind job;
        job.extension = ".cfz";
        job.create = [] { return std::make_unique<OpenedJob>(); };
        manager.registerKind(std::move(job));
    }

    TarDocument* openTar(const std::string& name, const std::string& bytes)
    {
        auto* document = dynamic_cast<TarDocument*>(manager.openDocument(archiveFile(name, bytes)));
        if (document)
            document->attachView(&listing);
        return document;
    }

    static ZipEntry* entryOf(TarDocument& document, const std::string& name)
    {
        for (const auto& entry : document.entries()) {
            if (entry->name == name)
                return entry.get();
        }
        return nullptr;
    }

    void viewTar(TarDocument& document, const std::string& name, bool runMode = false)
    {
        openEntry(document, &listing, entryOf(document, name), runMode);
    }

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

    LinkedTarEngine tarEngine;
};

TEST_F(TarEntryLaunchTest, ViewAndRunExtractTheEntryAloneAndFingerprintTheCopy)
{
    TarDocument* document = openTar(
        "A.TAR", tarOf({{"doc/read me.txt", "hello"}, {"doc/*.txt", "star"}, {"tool.sh", "#!/bin/sh\n"}}));
    ASSERT_NE(document, nullptr);

    // Blanks and wildcard characters in a name stand for themselves: only that entry comes out.
    for (const char* name : {"doc/read me.txt", "doc/*.txt"}) {
        viewTar(*document, name);
        OpenItem* item = entryOf(*document, name)->openItem;
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item->stage, OpenItemStage::Watched);
        EXPECT_TRUE(item->ownsDirectory);
        EXPECT_EQ(treeOf(item->tempDirectory), (std::set<std::string>{"doc/", std::string(name)}));
        const std::string data = readFile(item->fullTemporaryPath());
        EXPECT_EQ(item->crc32, crc32Of(data)) << name;
        EXPECT_EQ(item->entrySize, data.size());
        EXPECT_EQ(launcher.launches().back().kind, FakeLauncher::Kind::Association);
        EXPECT_EQ(launcher.launches().back().path, item->fullTemporaryPath());
    }
    EXPECT_EQ(readFile(lastFile()), "star");
    EXPECT_TRUE(document->isModified());

    ui.answerCommandLine(DialogResult::Ok, "sh tool.sh -x");
    viewTar(*document, "tool.sh", true);
    const FakeLauncher::Launch& run = launcher.launches().back();
    EXPECT_EQ(run.kind, FakeLauncher::Kind::Program);
    EXPECT_EQ(run.arguments, (std::vector<std::string>{"tool.sh", "-x"}));
    EXPECT_EQ(readFile(run.directory + "/tool.sh"), "#!/bin/sh\n");
    EXPECT_EQ(ui.commandLinesShown().back().commandLine, "tool.sh");
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(openItems.size(), 3u);
}

TEST_F(TarEntryLaunchTest, AChangedCopyIsNeverOfferedToTheZipEngineButMayBeKeptElsewhere)
{
    // The engine that puts copies back writes ZIP archives only: a TAR archive is read-only, so the
    // question is whether to keep the edit elsewhere, and the archive stays as it was whatever the
    // answer.
    struct Case {
        std::string edit; // empty: rewritten with the same bytes
        int answer;
        bool kept;
    };
    const Case cases[] = {{"", DialogResult::Ok, false},
                          {"edited", DialogResult::Yes, true},
                          {"edited", DialogResult::No, false}};
    TarDocument* document = openTar("NOTES.TAR", tarOf({{"dir/notes.txt", "old"}}));
    ASSERT_NE(document, nullptr);
    const std::string before = readFile(document->path());
    for (const Case& test : cases) {
        const size_t messagesBefore = ui.messages().size();
        launcher.onLaunch = [&](const FakeLauncher::Launch& launch) {
            writeFile(launch.path, test.edit.empty() ? "old" : test.edit);
        };
        viewTar(*document, "dir/notes.txt");
        launcher.onLaunch = nullptr;
        if (!test.edit.empty()) {
            ui.answerMessage(test.answer);
            if (test.kept)
                ui.answerMessage(DialogResult::Ok);
        }
        openItems.processEnded(lastProcess());

        std::vector<std::string> shown = ui.messageTexts();
        shown.erase(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(messagesBefore));
        std::vector<fs::path> kept = keptFiles();
        std::vector<std::string> expected;
        if (!test.edit.empty())
            expected.push_back(ReadOnlyQuestion + std::string("dir/notes.txt"));
        if (test.kept) {
            ASSERT_EQ(kept.size(), 1u);
            EXPECT_EQ(readFile(kept[0]), "edited");
            EXPECT_TRUE(kept[0].parent_path().filename().string().starts_with("NOTES-"));
            expected.push_back(KeptText + kept[0].string());
            fs::remove_all(launchServices.keptDirectory);
        }
        EXPECT_EQ(shown, expected) << test.edit << " " << test.answer;
        EXPECT_TRUE(keptFiles().empty());
        EXPECT_EQ(readFile(document->path()), before);
        EXPECT_EQ(openItems.size(), 0u);
        EXPECT_TRUE(itemDirectories().empty());
        EXPECT_FALSE(document->isModified());
    }
}

// A copy still open in its program when the archive closes is offered like one whose program ended:
// the changed one may be kept elsewhere, the unchanged one goes without a word.
TEST_F(TarEntryLaunchTest, ClosingOffersTheChangedCopiesStillOpenInTheirPrograms)
{
    TarDocument* document = openTar("OPEN.TAR", tarOf({{"edited.txt", "old"}, {"same.txt", "same"}}));
    ASSERT_NE(document, nullptr);
    viewTar(*document, "edited.txt");
    const std::string editedCopy = lastFile();
    viewTar(*document, "same.txt");
    writeFile(editedCopy, "new");
    ASSERT_EQ(openItems.size(), 2u);

    ui.answerMessage(DialogResult::Yes);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(document->confirmClose(false), DialogResult::Yes);
    std::vector<fs::path> kept = keptFiles();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readFile(kept[0]), "new");
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string>{ReadOnlyQuestion + std::string("edited.txt"),
                                                           KeptText + kept[0].string()}));
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());
    manager.closeDocument(document);
}

TEST_F(TarEntryLaunchTest, OnlyJobFilesOpenAsWindowsAndArchivesAreLaunched)
{
    const std::string innerTar = tarOf({{"x.txt", "x"}});
    TarDocument* document = openTar(
        "OUTER.TAR",
        tarOf({{"backup.cfz", "[ZIP]\n"}, {"inner.zip", ZipBuilder().finish()}, {"inner.tar", innerTar}}));
    ASSERT_NE(document, nullptr);
    viewTar(*document, "backup.cfz");
    OpenItem* job = entryOf(*document, "backup.cfz")->openItem;
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->kind, OpenItemKind::JobFile);
    const std::string jobCopy = job->fullTemporaryPath();
    EXPECT_EQ(windows.opened, std::vector<std::string>{jobCopy});
    EXPECT_NE(manager.findByPath(jobCopy), nullptr);
    EXPECT_TRUE(launcher.launches().empty());

    for (const char* name : {"inner.zip", "inner.tar"}) {
        viewTar(*document, name);
        EXPECT_EQ(entryOf(*document, name)->openItem->kind, OpenItemKind::LaunchedFile) << name;
        EXPECT_EQ(lastFile(), entryOf(*document, name)->openItem->fullTemporaryPath());
    }
    EXPECT_EQ(windows.opened.size(), 1u);

    // Closing the archive closes the job window and leaves no copy behind.
    manager.closeDocument(document);
    EXPECT_EQ(manager.findByPath(jobCopy), nullptr);
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());
}

TEST_F(TarEntryLaunchTest, CheckOutForcesItsOptionsAndDeletesOnlyWhatItCreated)
{
    TarDocument* document =
        openTar("CO.TAR", tarOf({{"a.txt", "alpha"}, {"sub/b.txt", "beta"}, {"sub/deep/c.txt", "gamma"}}));
    ASSERT_NE(document, nullptr);
    const std::string target = directory.file("busy");
    writeFile(target + "/mine.txt", "the user's");
    writeFile(target + "/a.txt", "replaced by the entry");
    fs::create_directories(target + "/sub");
    // Options that would keep the old a.txt and put every file into the directory itself.
    settings.untarOptions = UntarOptions{0, 0, 1, 0};
    dialogs.answerCheckOut(DialogResult::Ok,
                           [&](CheckOutDialogValues& values) { values.destinationDirectory = target; });
    ui.answerMessage(DialogResult::Yes);
    EXPECT_EQ(checkOut(*document), 0);
    EXPECT_TRUE(document->isCheckedOut());
    EXPECT_EQ(document->checkoutDirectory(), target);
    EXPECT_EQ(readFile(target + "/a.txt"), "alpha");
    EXPECT_EQ(readFile(target + "/sub/deep/c.txt"), "gamma");
    EXPECT_EQ(settings.untarOptions.tarOverwrite, 0);
    EXPECT_EQ(settings.untarOptions.tarRecreate, 0);
    EXPECT_EQ(settings.untarOptions.tarRecurseOut, 1);
    EXPECT_EQ(listing.hints.back(), UpdateHint::ContentsRebuilt);

    // View takes the checked-out file and extracts nothing.
    viewTar(*document, "sub/b.txt");
    EXPECT_EQ(lastFile(), target + "/sub/b.txt");
    EXPECT_TRUE(itemDirectories().empty());
    openItems.processEnded(lastProcess());

    ui.answerMessage(DialogResult::Yes);
    EXPECT_EQ(document->confirmClose(false), DialogResult::Yes);
    EXPECT_EQ(ui.messageTexts().back(),
              document->path() + " has been Checked Out.\n\nDelete checked out files?");
    EXPECT_EQ(treeOf(target), (std::set<std::string>{"a.txt", "mine.txt", "sub/"}));
}

TEST_F(TarEntryLaunchTest, ATarArchiveInAZipArchiveOpensNestedAndGoesBackToItsParent)
{
    ZipDocument* parent = openArchive("P.ZIP", {{"sub/INNER.TAR", tarOf({{"x.txt", "x"}})}});
    ASSERT_NE(parent, nullptr);
    view(*parent, "sub/INNER.TAR");
    OpenItem* item = entryNamed(*parent, "sub/INNER.TAR")->openItem;
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->kind, OpenItemKind::ZipInZip);
    auto* nested = dynamic_cast<TarDocument*>(manager.findByPath(item->fullTemporaryPath()));
    ASSERT_NE(nested, nullptr);
    EXPECT_TRUE(nested->isZipInZip());
    EXPECT_EQ(nested->entries().size(), 1u);
    EXPECT_EQ(nested->isCommandEnabled(CommandId::ShowParent), true);
    EXPECT_EQ(nested->isCommandEnabled(CommandId::DeleteZipFile), false);
    EXPECT_FALSE(nested->deleteArchive());
    EXPECT_EQ(std::ranges::count(settings.recentFiles, nested->path()), 0);
    EXPECT_TRUE(launcher.launches().empty());

    EXPECT_TRUE(showParent(*nested));
    EXPECT_EQ(windows.broughtForward, std::vector<View*>{&listing});

    // Its own close offers the copy back to the parent: unchanged, it just goes.
    manager.closeDocument(nested);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());
    EXPECT_FALSE(parent->isModified());

    // Closing the parent closes the nested window without asking.
    view(*parent, "sub/INNER.TAR");
    Document* again = manager.findByPath(entryNamed(*parent, "sub/INNER.TAR")->openItem->fullTemporaryPath());
    ASSERT_NE(again, nullptr);
    manager.closeDocument(parent);
    EXPECT_FALSE(isOpen(again));
    EXPECT_EQ(openItems.size(), 0u);
    EXPECT_TRUE(itemDirectories().empty());
}

} // namespace
