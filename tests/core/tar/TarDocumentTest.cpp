#include "core/tar/TarDocument.h"

#include "core/app/CancelFlags.h"
#include "core/app/CommandIds.h"
#include "core/documents/OpenItemList.h"
#include "core/framework/DocumentManager.h"
#include "core/framework/View.h"
#include "core/settings/AppSettings.h"
#include "core/tar/LinkedTarEngine.h"
#include "core/tar/TarExtractCommand.h"
#include "core/documents/SelectionSource.h"
#include "core/ui/DialogResult.h"
#include "core/zip/ZipFormat.h"
#include "support/ScriptedArchiveDialogs.h"
#include "support/ScriptedUserInterface.h"
#include "support/TarBuilder.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace quarvo;
using namespace quarvo::testing;
namespace fs = std::filesystem;

namespace {

class FixedSelection : public SelectionSource {
  public:
    FixedSelection(int count, std::string text) : m_count(count), m_text(std::move(text)) {}
    int selectedCount() const override { return m_count; }
    // An empty text stands for a list that could not be built.
    ItemList buildSelectionList() const override { return {m_text.empty() ? 0 : m_count, m_text}; }

  private:
    int m_count;
    std::string m_text;
};

class RecordingView : public View {
  public:
    void onDocumentUpdate(View*, int hint) override { hints.push_back(hint); }
    std::vector<int> hints;
};

// 2025-01-01 12:34:57 local time: odd seconds, which the listing drops.
std::time_t localNoonishTime()
{
    std::tm local{};
    local.tm_year = 125;
    local.tm_mday = 1;
    local.tm_hour = 12;
    local.tm_min = 34;
    local.tm_sec = 57;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

class TarDocumentTest : public ::testing::Test {
  protected:
    TarDocumentTest() : settings(directory.file("quarvo.ini"), directory.path().string())
    {
        for (const char* extension : {".tar", ".tgz", ".gz"}) {
            DocumentKind kind;
            kind.extension = extension;
            kind.create = [this] {
                return std::make_unique<TarDocument>(TarDocumentServices{
                    ui, dialogs, settings, openItems, engine, manager, directory.file("unpacked")});
            };
            manager.registerKind(std::move(kind));
        }
    }
    ~TarDocumentTest() override { CancelFlags::tarLibrary = false; }

    TarDocument* open(const std::string& path) { return dynamic_cast<TarDocument*>(manager.openDocument(path)); }
    bool isOpen(const Document* document) const
    {
        std::vector<Document*> open = manager.documents();
        return std::ranges::find(open, document) != open.end();
    }
    static std::vector<std::string> namesOf(const TarDocument& document)
    {
        std::vector<std::string> names;
        for (const auto& entry : document.entries())
            names.push_back(entry->name);
        return names;
    }

    TemporaryDirectory directory;
    ScriptedUserInterface ui;
    ScriptedArchiveDialogs dialogs;
    AppSettings settings;
    OpenItemList openItems;
    LinkedTarEngine engine;
    DocumentManager manager;
};

TEST_F(TarDocumentTest, EntriesBecomeListingRecordsWithDosTimesAndAttributes)
{
    TarBuilder::Entry readOnly = TarBuilder::file("docs/r\xC3\xA9sum\xC3\xA9.txt", "hello", 0444);
    readOnly.modificationTime = localNoonishTime();
    std::string path = directory.file("a.tar");
    writeFile(path, TarBuilder()
                        .add(TarBuilder::directory("docs/"))
                        .add(readOnly)
                        .add(TarBuilder::file("bad\xFFname", std::string(70000, 'x')))
                        .finish());
    TarDocument* document = open(path);
    ASSERT_TRUE(document);
    EXPECT_EQ(namesOf(*document), (std::vector<std::string>{"docs/", "docs/résumé.txt", "bad\\xFFname"}));
    const ZipEntry& directoryEntry = *document->entries()[0];
    const ZipEntry& file = *document->entries()[1];
    EXPECT_EQ(directoryEntry.externalAttributes, zipformat::attribute::DosDirectory);
    EXPECT_EQ(file.externalAttributes, zipformat::attribute::DosReadOnly);
    EXPECT_EQ(file.modDate, (45 << 9) | (1 << 5) | 1);
    EXPECT_EQ(file.modTime, (12 << 11) | (34 << 5));
    EXPECT_EQ(file.index, 1);
    EXPECT_EQ(file.uncompressedSize, 5u);
    EXPECT_EQ(file.compressedSize, 5u);
    EXPECT_EQ(document->entryTotal(), 3u);
    EXPECT_EQ(document->totalUncompressed(), 70005u);
    EXPECT_EQ(ui.statusTexts().back(), "Reading: bad\\xFFname");
    EXPECT_EQ(settings.recentFiles.front(), path);

    dialogs.expectInfo();
    document->showInfo();
    ASSERT_EQ(dialogs.infoShown().size(), 1u);
    const ZipFileInfo& info = dialogs.infoShown()[0];
    EXPECT_EQ(info.kind, ArchiveInfoKind::Tar);
    EXPECT_EQ(info.fileCount, "3");
    EXPECT_EQ(info.totalUncompressed, "70,005 Bytes");
    EXPECT_EQ(info.totalCompressed, "70,005 Bytes");
    EXPECT_EQ(info.percentage, "0%");
    EXPECT_EQ(info.fileSize, "73,216 Bytes");
    EXPECT_EQ(document->isCommandEnabled(CommandId::Save), false);
    EXPECT_EQ(document->isCommandEnabled(CommandId::DeleteZipFile), true);
    EXPECT_EQ(document->isCommandEnabled(CommandId::ShowParent), false);
}

TEST_F(TarDocumentTest, RefreshKeepsTheSelectionOfNamesStillThereAndAFailedOneClosesTheDocument)
{
    std::string path = directory.file("a.tar");
    auto archiveOf = [](std::vector<std::string> names) {
        TarBuilder builder;
        for (const std::string& name : names)
            builder.add(TarBuilder::file(name, name));
        return builder.finish();
    };
    writeFile(path, archiveOf({"keep.txt", "gone.txt", "other.txt"}));
    TarDocument* document = open(path);
    ASSERT_TRUE(document);
    RecordingView view;
    document->attachView(&view);
    document->entries()[0]->selected = true;
    document->entries()[1]->selected = true;

    writeFile(path, archiveOf({"new.txt", "KEEP.TXT", "other.txt"}));
    ASSERT_TRUE(document->reload());
    EXPECT_EQ(namesOf(*document), (std::vector<std::string>{"new.txt", "KEEP.TXT", "other.txt"}));
    EXPECT_FALSE(document->entries()[0]->selected);
    EXPECT_TRUE(document->entries()[1]->selected);
    EXPECT_FALSE(document->entries()[2]->selected);
    EXPECT_EQ(view.hints, std::vector<int>{UpdateHint::ContentsRebuilt});

    writeFile(path, "not a tar archive at all");
    ui.answerMessage(DialogResult::Ok);
    EXPECT_FALSE(document->reload());
    EXPECT_EQ(ui.messageTexts().back(), "Error loading ZIP File: " + path);
    EXPECT_FALSE(isOpen(document));
}

TEST_F(TarDocumentTest, WhatCannotOpenSaysWhyOrOffersTheUnpackedFileAtOnce)
{
    std::string damaged = directory.file("damaged.tar");
    writeFile(damaged, std::string(1024, 'x'));
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(open(damaged), nullptr);
    ASSERT_EQ(ui.messageTexts().size(), 1u);
    EXPECT_EQ(ui.messageTexts()[0].rfind("Error loading TAR File. \n", 0), 0u) << ui.messageTexts()[0];

    std::string notes = directory.file("notes.gz");
    writeFile(notes, gzipOf("just text\n"));
    std::string kept = directory.file("notes.txt");
    ui.answerSaveFile(kept);
    EXPECT_EQ(open(notes), nullptr);
    EXPECT_EQ(ui.messageTexts().size(), 1u);
    EXPECT_EQ(ui.fileDialogs().back().title, "Save inflated file");
    EXPECT_EQ(readFile(kept), "just text\n");
    EXPECT_TRUE(settings.recentFiles.empty());
}

TEST_F(TarDocumentTest, AnUnpackedTarIsListedAndClosingOffersIt)
{
    std::string path = directory.file("src.tgz");
    writeFile(path, gzipOf(TarBuilder().add(TarBuilder::file("a.txt", "a")).finish()));
    TarDocument* document = open(path);
    ASSERT_TRUE(document);
    EXPECT_EQ(namesOf(*document), std::vector<std::string>{"a.txt"});
    // Refresh reads the file unpacked at opening again; it does not unpack a second time.
    ASSERT_TRUE(document->reload());
    EXPECT_EQ(ui.progressTexts().front(), "Please wait while deflating GZIP archive.");
    EXPECT_EQ(std::ranges::count(ui.progressTexts(), "Please wait while deflating GZIP archive."), 1);
    std::string unpacked = document->reader().currentPath();
    ui.answerMessage(DialogResult::No);
    manager.closeDocument(document);
    EXPECT_EQ(ui.messageTexts().back(), "Save extracted TAR file: SRC.TAR?");
    EXPECT_FALSE(fs::exists(unpacked));
}

TEST_F(TarDocumentTest, ExtractAndTestTellWhatTheEngineSaidAndCheckOutRemovesOnlyWhatItWrote)
{
    std::string path = directory.file("a.tar");
    writeFile(path, TarBuilder()
                        .add(TarBuilder::file("d/a.txt", "a"))
                        .add(TarBuilder::special("d/fifo", '6'))
                        .add(TarBuilder::file("d/b.txt", "b"))
                        .finish());
    TarDocument* document = open(path);
    ASSERT_TRUE(document);
    settings.untarOptions.tarRecreate = 1;
    std::string out = directory.file("out");
    fs::create_directories(out);
    writeFile(out + "/mine.txt", "the user's own");

    ui.answerMessage(DialogResult::Ok);
    EXPECT_NE(document->extract("*.*", out, CommandId::Extract), 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].caption, "a");
    EXPECT_NE(ui.messages()[0].text.find("d/fifo"), std::string::npos) << ui.messages()[0].text;
    EXPECT_EQ(readFile(out + "/d/b.txt"), "b");

    document->setCheckedOut(out);
    ui.answerMessage(DialogResult::Yes);
    EXPECT_EQ(document->confirmClose(false), DialogResult::Yes);
    EXPECT_EQ(ui.messageTexts().back(), path + " has been Checked Out.\n\nDelete checked out files?");
    EXPECT_FALSE(fs::exists(out + "/d"));
    EXPECT_EQ(readFile(out + "/mine.txt"), "the user's own");
}

TEST_F(TarDocumentTest, TheExtractDialogInItsTarFormWritesBackTheUntarOptionsAndChoosesTheEntries)
{
    std::string path = directory.file("a b.tar");
    writeFile(path, TarBuilder()
                        .add(TarBuilder::file("d/one two.txt", "1"))
                        .add(TarBuilder::file("d/[x].txt", "x"))
                        .add(TarBuilder::file("d/xx.txt", "xx"))
                        .finish());
    TarDocument* document = open(path);
    ASSERT_TRUE(document);
    std::string out = directory.file("out");
    ExtractDialogValues shown;
    dialogs.answerExtract(DialogResult::Ok, [&](ExtractDialogValues& values) {
        shown = values;
        values.destinationDirectory = out;
        values.overwrite = true;
        values.recreate = false;
    });
    EXPECT_EQ(extractTarEntries(*document, CommandId::Extract,
                                FixedSelection(2, "\"d/one two.txt\" d/[x].txt")),
              0);
    EXPECT_EQ(shown.title, "Extract Files (a b.tar)");
    EXPECT_EQ(shown.archiveKind, ArchiveKind::Tar);
    EXPECT_EQ(shown.filesToExtract, FilesToExtract::Selected);
    EXPECT_EQ(settings.untarOptions.tarOverwrite, 1);
    EXPECT_EQ(settings.untarOptions.tarRecreate, 0);
    EXPECT_EQ(readFile(out + "/one two.txt"), "1");
    EXPECT_EQ(readFile(out + "/[x].txt"), "x");
    EXPECT_FALSE(fs::exists(out + "/xx.txt"));

    // Test writes nothing; an empty selection list is told.
    dialogs.answerExtract(DialogResult::Ok, [&](ExtractDialogValues& values) {
        values.destinationDirectory = directory.file("tested");
        values.operationIndex = 3;
        values.filesToExtract = FilesToExtract::All;
    });
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(extractTarEntries(*document, CommandId::Extract, FixedSelection(0, "")), 0);
    EXPECT_FALSE(fs::exists(directory.file("tested/d")));
    EXPECT_EQ(ui.messageTexts().back(), "No errors detected in 3 entries.");
    dialogs.answerExtract(DialogResult::Ok, [&](ExtractDialogValues& values) { values.selectionAvailable = true; });
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(extractTarEntries(*document, CommandId::Extract, FixedSelection(1, "")), 0);
    EXPECT_EQ(ui.messageTexts().back(), "Unable to create an UNTAR List.\n\n");
}

} // namespace
