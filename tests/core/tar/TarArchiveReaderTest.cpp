#include "core/tar/TarArchiveReader.h"

#include "core/app/CancelFlags.h"
#include "core/app/CommandIds.h"
#include "core/settings/AppSettings.h"
#include "core/tar/LinkedTarEngine.h"
#include "core/ui/DialogResult.h"
#include "support/ProcessRunner.h"
#include "support/ScriptedUserInterface.h"
#include "support/TarBuilder.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace quarvo;
using namespace quarvo::testing;
namespace fs = std::filesystem;

namespace {

const std::string NotDecompressed = "\nThe archive could not be decompressed.";

std::string twoFileTar()
{
    return TarBuilder()
        .add(TarBuilder::file("docs/readme.txt", "hello\n"))
        .add(TarBuilder::file("docs/notes.txt", std::string(3000, 'n')))
        .finish();
}

// Packs bytes with one of the Unix compressors, as a user's file would have been packed.
std::string packedWith(const std::string& program, const std::string& bytes, const fs::path& scratch)
{
    fs::path plain = scratch / "plain";
    writeFile(plain, bytes);
    ProcessOutcome outcome = runProcess(program, {"-c", plain.string()}, scratch);
    EXPECT_EQ(outcome.exitCode, 0) << program << ": " << outcome.err;
    fs::remove(plain);
    return outcome.out;
}

struct ReaderFixture : ::testing::Test {
    TemporaryDirectory directory;
    std::string unpackDirectory = directory.file("unpacked");
    ScriptedUserInterface ui;
    LinkedTarEngine engine;
    TarArchiveReader reader{ui, engine, unpackDirectory};

    void TearDown() override { CancelFlags::tarLibrary = false; }

    std::vector<std::string> unpackedFiles() const
    {
        std::vector<std::string> names;
        if (fs::exists(unpackDirectory))
            for (const auto& entry : fs::directory_iterator(unpackDirectory))
                names.push_back(entry.path().filename().string());
        return names;
    }

    std::vector<std::string> listedNames()
    {
        std::vector<std::string> names;
        for (uint32_t i = 0; i < reader.entryCount(); ++i) {
            const TarEntryRecord* record = reader.nextEntry();
            if (!record)
                break;
            names.emplace_back(record->name);
        }
        return names;
    }
};

TEST_F(ReaderFixture, PlainTarIsReadWhereItLiesAndClosingAsksNothing)
{
    std::string path = directory.file("backup.tar");
    writeFile(path, twoFileTar());
    ASSERT_EQ(reader.open(path), 0);
    EXPECT_EQ(reader.currentPath(), path);
    EXPECT_EQ(reader.archiveTitle(), "backup");
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"docs/readme.txt", "docs/notes.txt"}));
    EXPECT_EQ(reader.nextEntry(), nullptr);
    EXPECT_EQ(ui.progressTexts().front(), "Please wait while reading TAR info.");
    EXPECT_FALSE(ui.progressOpen());

    EXPECT_EQ(reader.reread(), 0);
    EXPECT_EQ(listedNames().size(), 2u);
    EXPECT_EQ(reader.close(), 0);
    EXPECT_FALSE(reader.isOpen());
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(unpackedFiles().empty());
}

// Each kind of stream: the wait text while it unpacks, whether a listing follows, and what closing
// offers for the unpacked file.
struct StreamCase {
    const char* archiveName;
    const char* packer; // gzip, compress or xz
    bool holdsTar;
    const char* waitText;
    const char* unpackedName;
    const char* closeOffer; // the question, or the save dialog's title when no TAR was listed
};

const StreamCase streamCases[] = {
    {"src.tgz", "gzip", true, "Please wait while deflating GZIP archive.", "src.tar",
     "Save extracted TAR file: SRC.TAR?"},
    {"src.tar.gz", "gzip", true, "Please wait while deflating GZIP archive.", "src.tar",
     "Save extracted TAR file: SRC.TAR?"},
    {"notes.txt.gz", "gzip", false, "Please wait while deflating GZIP archive.", "notes.txt",
     "Save inflated file"},
    {"src.taz", "compress", true, "Please wait while decompressing LZW archive.", "src.tar",
     "Save extracted TAR file: SRC.TAR?"},
    {"notes.z", "compress", false, "Please wait while decompressing LZW archive.", "notes",
     "Save uncompressed file"},
    {"src.tar.xz", "xz", true, "Please wait while decompressing archive.", "src.tar",
     "Save extracted TAR file: SRC.TAR?"},
    {"readme.xz", "xz", false, "Please wait while decompressing archive.", "readme", "Save file"},
    // A stream that holds TAR under a name that does not say so is still listed.
    {"src.gz", "gzip", true, "Please wait while deflating GZIP archive.", "src",
     "Save extracted TAR file: SRC?"},
};

TEST_F(ReaderFixture, EachStreamUnpacksWithItsWaitTextAndClosingOffersTheUnpackedFile)
{
    for (const StreamCase& c : streamCases) {
        SCOPED_TRACE(c.archiveName);
        ScriptedUserInterface caseUi;
        TarArchiveReader caseReader{caseUi, engine, unpackDirectory};
        std::string path = directory.file(c.archiveName);
        writeFile(path, packedWith(c.packer, c.holdsTar ? twoFileTar() : "just text\n", directory.path()));

        int opened = caseReader.open(path);
        EXPECT_EQ(opened, c.holdsTar ? 0 : TarOpenResult::NotOpened);
        EXPECT_EQ(caseUi.progressTexts().front(), c.waitText);
        EXPECT_EQ(caseReader.currentPath(), unpackDirectory + "/" + c.unpackedName);
        EXPECT_EQ(caseReader.compressedPath(), path);
        EXPECT_EQ(caseReader.isTarStream(), c.holdsTar);
        EXPECT_EQ(caseReader.entryCount(), c.holdsTar ? 2u : 0u);

        // Answering No (or cancelling the save dialog) leaves nothing of the copy behind or keeps it.
        if (c.holdsTar)
            caseUi.answerMessage(DialogResult::No);
        else
            caseUi.answerSaveFile("");
        caseReader.close();
        if (c.holdsTar) {
            EXPECT_EQ(caseUi.messageTexts(), std::vector<std::string>{c.closeOffer});
            EXPECT_EQ(caseUi.messages().back().icon, MessageIcon::Question);
            EXPECT_FALSE(fs::exists(caseReader.currentPath()));
        } else {
            ASSERT_EQ(caseUi.fileDialogs().size(), 1u);
            EXPECT_EQ(caseUi.fileDialogs()[0].title, c.closeOffer);
            EXPECT_EQ(caseUi.fileDialogs()[0].fileName, c.unpackedName);
            EXPECT_TRUE(fs::exists(caseReader.currentPath()));
            fs::remove(caseReader.currentPath());
        }
    }
}

TEST_F(ReaderFixture, SavingTheUnpackedTarMovesItWhereTheUserChoseAndAFailedSaveAsksAgain)
{
    std::string path = directory.file("src.tgz");
    writeFile(path, gzipOf(twoFileTar(), "../../evil"));
    ASSERT_EQ(reader.open(path), 0);
    std::string unpacked = reader.currentPath();
    EXPECT_EQ(unpacked, unpackDirectory + "/src.tar");

    std::string kept = directory.file("kept/src.tar");
    ui.answerMessage(DialogResult::Yes);
    ui.answerSaveFile(directory.file("missing/src.tar"));
    ui.answerMessage(DialogResult::Ok);
    ui.answerSaveFile(kept);
    fs::create_directories(directory.file("kept"));
    reader.close();

    EXPECT_EQ(ui.messageTexts(),
              (std::vector<std::string>{"Save extracted TAR file: SRC.TAR?",
                                        "Error: Could not save to " + directory.file("missing/src.tar") + "."}));
    ASSERT_EQ(ui.fileDialogs().size(), 2u);
    const FileDialogRequest& dialog = ui.fileDialogs()[0];
    EXPECT_EQ(dialog.title, "Save TAR file");
    EXPECT_EQ(dialog.fileName, "src.tar");
    EXPECT_EQ(dialog.initialDirectory, directory.path().string());
    ASSERT_EQ(dialog.filters.size(), 2u);
    EXPECT_EQ(dialog.filters[0].description, "Tar files (*.tar)");
    EXPECT_EQ(dialog.filters[1].description, "All (*.*)");
    EXPECT_EQ(readFile(kept), twoFileTar());
    EXPECT_FALSE(fs::exists(unpacked));
    EXPECT_FALSE(fs::exists(directory.path().parent_path() / "evil"));
}

TEST_F(ReaderFixture, AStreamThatCannotBeUnpackedOrIsNoStreamSaysWhyAndOffersNothing)
{
    const std::string tgz = gzipOf(twoFileTar());
    struct Case {
        const char* name;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"cut.tgz", tgz.substr(0, tgz.size() / 2), "cut.tgz: the GZIP data ends inside member 1 (the file is truncated)."},
        {"plain.gz", "just text\n",
         "plain.gz is not compressed: it begins with none of the signatures of GZIP, compress, BZIP2, XZ, "
         "Zstandard or LZIP data."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedUserInterface caseUi;
        TarArchiveReader caseReader{caseUi, engine, unpackDirectory};
        std::string path = directory.file(c.name);
        writeFile(path, c.bytes);
        caseUi.answerMessage(DialogResult::Ok);
        EXPECT_EQ(caseReader.open(path), TarOpenResult::NotUnpacked);
        EXPECT_EQ(caseUi.messageTexts(), std::vector<std::string>{c.message + NotDecompressed});
        EXPECT_EQ(caseUi.messages()[0].icon, MessageIcon::Warning);
        EXPECT_EQ(caseReader.streamType(), StreamType::Plain);
        EXPECT_EQ(caseReader.reread(), UntarResult::NoArchiveOpen);
        EXPECT_EQ(caseReader.extract("*.*", CommandId::Extract), UntarResult::NoArchiveOpen);
        caseReader.close();
        EXPECT_EQ(caseUi.messages().size(), 1u);
        EXPECT_TRUE(unpackedFiles().empty());
    }
}

TEST_F(ReaderFixture, CancelStopsUnpackingAndListingAndEveryOperationStartsAfresh)
{
    std::string tgz = directory.file("src.tgz");
    writeFile(tgz, gzipOf(twoFileTar()));
    ui.setOnProcessEvents([&] {
        ui.pressCancel();
        return false;
    });
    EXPECT_EQ(reader.open(tgz), TarOpenResult::NotOpened);
    EXPECT_FALSE(CancelFlags::zipEngine);
    EXPECT_TRUE(unpackedFiles().empty());
    reader.close();
    EXPECT_TRUE(ui.messages().empty());

    std::string tar = directory.file("src.tar");
    writeFile(tar, twoFileTar());
    TarArchiveReader plainReader{ui, engine, unpackDirectory};
    EXPECT_EQ(plainReader.open(tar), TarOpenResult::NotOpened);
    EXPECT_FALSE(plainReader.isOpen());

    // A cancel left over from an earlier operation does not stop the next one.
    ui.setOnProcessEvents({});
    CancelFlags::tarLibrary = true;
    ASSERT_EQ(plainReader.open(tar), 0);
    CancelFlags::tarLibrary = true;
    EXPECT_EQ(plainReader.reread(), 0);
    CancelFlags::tarLibrary = true;
    plainReader.setTargetDirectory(directory.file("out"));
    EXPECT_EQ(plainReader.extract("*.*", CommandId::TestIntegrity), 0);
    plainReader.close();
}

TEST_F(ReaderFixture, ExtractionFollowsTheCommandAndTheOptionsAndNamesWhereEachEntryWent)
{
    std::string tar = directory.file("src.tar");
    writeFile(tar, twoFileTar());
    ASSERT_EQ(reader.open(tar), 0);
    std::vector<std::string> written;
    reader.setEntryPathCallback(
        [](const char* path, const char*, void* data) {
            static_cast<std::vector<std::string>*>(data)->push_back(path);
            return 1;
        },
        &written);
    UntarOptions options;
    options.tarRecreate = 0; // every file straight into the target directory
    options.tarLF2CRLF = 1;
    reader.setOptions(options);
    std::string out = directory.file("out");
    reader.setTargetDirectory(out);

    EXPECT_EQ(reader.extract("*.*", CommandId::TestIntegrity), 0);
    EXPECT_FALSE(fs::exists(out + "/readme.txt"));
    EXPECT_EQ(reader.extract("docs/readme.txt", CommandId::Extract), 0);
    EXPECT_EQ(readFile(out + "/readme.txt"), "hello\r\n");
    EXPECT_FALSE(fs::exists(out + "/notes.txt"));
    EXPECT_EQ(written, std::vector<std::string>{"readme.txt"});
    EXPECT_NE(std::ranges::find(ui.progressTexts(), "Please wait while reading Tar info."), ui.progressTexts().end());
    EXPECT_EQ(ui.progressCaptions().back().rfind("src - ", 0), 0u);

    options.tarRecreate = 1;
    options.tarLF2CRLF = 0;
    reader.setOptions(options);
    EXPECT_EQ(reader.extract("*.*", CommandId::ExtractFreshen), 0);
    EXPECT_FALSE(fs::exists(out + "/docs"));
    EXPECT_EQ(reader.extract("*.*", CommandId::ExtractUpdate), 0);
    EXPECT_EQ(readFile(out + "/docs/readme.txt"), "hello\n");
    reader.close();
}

} // namespace
