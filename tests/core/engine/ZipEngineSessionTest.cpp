#include "EngineSessionFixture.h"
#include "core/engine/ZipJobOptions.h"

#include "core/ui/DialogResult.h"
#include "engines/api/EngineResult.h"

#include <array>
#include <filesystem>

using namespace quarvo;
using quarvo::testing::EngineSessionTest;
using quarvo::testing::FakeEngine;

namespace {

using ZipEngineSessionTest = EngineSessionTest;

TEST_F(ZipEngineSessionTest, NewBlocksCarryTheSizesCallbacksAndPresetWords)
{
    ZipEngineSession session(ui, engine, settings);
    const ZipCommand& zip = session.zipCommand();
    const UnzipCommand& unzip = session.unzipCommand();
    EXPECT_EQ(zip.structureSize, 188u);
    EXPECT_EQ(zip.reserved32, 1u);
    EXPECT_EQ(zip.optionBits, 3u);
    EXPECT_EQ(zip.messageCallbackData, &session);
    EXPECT_EQ(zip.statusCallbackData, &session);
    EXPECT_EQ(zip.queryCallbackData, &session);
    EXPECT_EQ(zip.messageCallback, &ZipEngineSession::onEngineMessage);
    EXPECT_EQ(zip.queryCallback, &ZipEngineSession::onEngineQuery);
    EXPECT_EQ(unzip.structureSize, 142u);
    EXPECT_EQ(unzip.reserved56, 1u);
    EXPECT_EQ(unzip.optionBits, 2u);
    EXPECT_EQ(unzip.statusCallback, &ZipEngineSession::onEngineStatus);
    EXPECT_EQ(unzip.messageCallbackData, &session);
    EXPECT_EQ(zip.password, nullptr);
    EXPECT_EQ(unzip.password, nullptr);
}

TEST_F(ZipEngineSessionTest, QuotesASpecificationOnlyWhenItHoldsNoDoubleQuote)
{
    const std::array<std::pair<const char*, const char*>, 6> cases{{
        {"*.*", "\"*.*\""},
        {"/home/ann/my files/*.*", "\"/home/ann/my files/*.*\""},
        {"", "\"\""},
        // A list of quoted names goes through as it is.
        {"\"A B.TXT\" \"DIR/C.TXT\"", "\"A B.TXT\" \"DIR/C.TXT\""},
        {"\"ONE.TXT\"", "\"ONE.TXT\""},
        {"odd\"name", "odd\"name"},
    }};
    for (const auto& [given, passed] : cases) {
        SCOPED_TRACE(given);
        ZipEngineSession session(ui, engine, settings);
        session.runZip("/a/B.ZIP", given, 2150);
        session.runUnzip("/a/B.ZIP", given, 3050);
        EXPECT_EQ(engine.zipCalls().back().itemSpecification, passed);
        EXPECT_EQ(engine.unzipCalls().back().itemSpecification, passed);
        EXPECT_EQ(engine.zipCalls().back().archivePath, "/a/B.ZIP");
        EXPECT_EQ(engine.unzipCalls().back().archivePath, "/a/B.ZIP");
    }
}

struct ZipOperationCase {
    int commandId;
    uint32_t function;
    uint32_t deleteSourceFiles;
    uint16_t optionBits;
    uint32_t compressionLevel;
};

TEST_F(ZipEngineSessionTest, CommandIdChoosesTheFunctionAndFlagsOfDzip)
{
    settings.zipOptions.compressionFactor = 8;
    const ZipOperationCase cases[] = {
        {2150, ZipFunction::Add, 0, 3, 8},
        {2250, ZipFunction::Update, 0, 3, 8},
        {2300, ZipFunction::Freshen, 0, 3, 8},
        {2400, ZipFunction::Add, 1, 3, 8},
        {2450, ZipFunction::Update, 1, 3, 8},
        {2500, ZipFunction::Freshen, 1, 3, 8},
        // Delete clears option bit 0 and always compresses at level 5.
        {2600, ZipFunction::Delete, 0, 2, 5},
        // Any other id keeps the function the caller set, but never a leftover move flag.
        {5150, 77, 0, 3, 8},
        {0, 77, 0, 3, 8},
    };
    for (const ZipOperationCase& c : cases) {
        SCOPED_TRACE(c.commandId);
        ZipEngineSession session(ui, engine, settings);
        session.applyZipOptions(settings.zipOptions);
        session.zipCommand().function = 77;
        session.zipCommand().deleteSourceFiles = 1;
        session.runZip("/a/B.ZIP", "*.*", c.commandId);
        const ZipCommand& block = engine.zipCalls().back().block;
        EXPECT_EQ(block.function, c.function);
        EXPECT_EQ(block.deleteSourceFiles, c.deleteSourceFiles);
        EXPECT_EQ(block.optionBits, c.optionBits);
        EXPECT_EQ(block.compressionLevel, c.compressionLevel);
        EXPECT_EQ(block.reserved32, 0u);
    }
}

struct UnzipOperationCase {
    int commandId;
    uint32_t freshen;
    uint32_t update;
    uint32_t testOnly;
};

TEST_F(ZipEngineSessionTest, CommandIdSetsAtMostOneOfDunzipsFlags)
{
    const UnzipOperationCase cases[] = {
        {3050, 0, 0, 0},
        {32782, 0, 1, 0},
        {3150, 1, 0, 0},
        {3500, 0, 0, 1},
        // A job whose action was lost runs as a plain extract.
        {0, 0, 0, 0},
    };
    for (const UnzipOperationCase& c : cases) {
        SCOPED_TRACE(c.commandId);
        ZipEngineSession session(ui, engine, settings);
        session.unzipCommand().freshen = session.unzipCommand().update = session.unzipCommand().testOnly = 1;
        session.runUnzip("/a/B.ZIP", "*.*", c.commandId);
        const UnzipCommand& block = engine.unzipCalls().back().block;
        EXPECT_EQ(block.function, 8u);
        EXPECT_EQ(block.freshen, c.freshen);
        EXPECT_EQ(block.update, c.update);
        EXPECT_EQ(block.testOnly, c.testOnly);
    }
}

TEST_F(ZipEngineSessionTest, AnExeArchiveInAnyCaseSetsOptionBitFive)
{
    const std::array<std::pair<const char*, bool>, 6> cases{{
        {"/a/SETUP.EXE", true},
        {"/a/setup.exe", true},
        {"/a/Setup.ExE", true},
        {"/a/SETUP.ZIP", false},
        {"/a/b.exe/ARCHIVE", false},
        {"/a/SETUP.EXE.ZIP", false},
    }};
    for (const auto& [path, selfExtractor] : cases) {
        SCOPED_TRACE(path);
        ZipEngineSession session(ui, engine, settings);
        session.runZip(path, "*.*", 2150);
        EXPECT_EQ((engine.zipCalls().back().block.optionBits & 0x20) != 0, selfExtractor);
    }
}

TEST_F(ZipEngineSessionTest, AnEmptyPasswordLeavesEncryptAndDecryptOff)
{
    settings.zipOptions.password = "";
    settings.unzipOptions.password = "";
    {
        ZipEngineSession session(ui, engine, settings);
        session.applyZipOptions(settings.zipOptions);
        session.applyUnzipOptions(settings.unzipOptions);
        session.runZip("/a/B.ZIP", "*.*", 2150);
        session.runUnzip("/a/B.ZIP", "*.*", 3050);
    }
    EXPECT_EQ(engine.zipCalls().back().block.encrypt, 0u);
    EXPECT_EQ(engine.zipCalls().back().password, std::nullopt);
    EXPECT_EQ(engine.unzipCalls().back().block.decrypt, 0u);

    settings.zipOptions.password = "secret";
    settings.unzipOptions.password = "other";
    {
        ZipEngineSession session(ui, engine, settings);
        session.applyZipOptions(settings.zipOptions);
        session.applyUnzipOptions(settings.unzipOptions);
        settings.zipOptions.password = "changed after applying";
        session.runZip("/a/B.ZIP", "*.*", 2150);
        session.runUnzip("/a/B.ZIP", "*.*", 3050);
    }
    EXPECT_EQ(engine.zipCalls().back().block.encrypt, 1u);
    EXPECT_EQ(engine.zipCalls().back().password, "secret");
    EXPECT_EQ(engine.unzipCalls().back().block.decrypt, 1u);
    EXPECT_EQ(engine.unzipCalls().back().password, "other");
}

// The ZIP Options' choice reaches the engine; a job that names none takes it too, and one that
// names one (an entry put back the way it came) keeps its own.
TEST_F(ZipEngineSessionTest, TheEncryptionChoiceReachesTheEngine)
{
    struct Case {
        int optionsChoice;
        std::optional<int> jobChoice;
        bool fromOptions;
        uint32_t expected;
    };
    const Case cases[] = {
        {ZipEncryptionChoice::Aes256, std::nullopt, true, ZipEncryption::Aes256},
        {ZipEncryptionChoice::Traditional, std::nullopt, true, ZipEncryption::Traditional},
        {ZipEncryptionChoice::Aes256, std::nullopt, false, ZipEncryption::Aes256},
        {ZipEncryptionChoice::Traditional, ZipEncryptionChoice::Aes256, false, ZipEncryption::Aes256},
        {ZipEncryptionChoice::Aes256, ZipEncryptionChoice::Traditional, false, ZipEncryption::Traditional},
    };
    for (const Case& c : cases) {
        settings.zipOptions.encryption = c.optionsChoice;
        settings.zipOptions.password = "pw";
        {
            ZipEngineSession session(ui, engine, settings);
            if (c.fromOptions) {
                session.applyZipOptions(settings.zipOptions);
            } else {
                ZipJobOptions job;
                job.password = "pw";
                job.encryption = c.jobChoice;
                session.applyZipJob(job);
            }
            session.runZip("/a/B.ZIP", "*.*", 2150);
        }
        EXPECT_EQ(engine.zipCalls().back().block.encryption, c.expected);
        EXPECT_EQ(engine.zipCalls().back().block.encrypt, 1u);
    }
}

TEST_F(ZipEngineSessionTest, ZipOptionsFillTheirFieldsAndGivenFlagsFollowThePointers)
{
    ZipOptions& options = settings.zipOptions;
    options.recurse = 1;
    options.compressionFactor = 12; // kept as read, even past the list
    options.storePath = 0;
    options.addFilesByDate = 1;
    options.afterDate = "03/04/25";
    options.oldAsLatest = 1;
    options.incSysHiddenFiles = 1;
    options.tempFilePath = "/var/tmp";
    settings.logFile = 1;
    {
        ZipEngineSession session(ui, engine, settings);
        session.applyZipOptions(options);
        session.runZip("/a/B.ZIP", "*.*", 2150);
    }
    const FakeEngine::ZipCall& call = engine.zipCalls().back();
    EXPECT_EQ(call.block.recurse, 1u);
    EXPECT_EQ(call.block.compressionLevel, 12u);
    EXPECT_EQ(call.block.noDirectoryNames, 1u);
    EXPECT_EQ(call.block.dateGiven, 1u);
    EXPECT_EQ(call.date, "03/04/25");
    EXPECT_EQ(call.block.oldAsLatest, 1u);
    EXPECT_EQ(call.block.includeSystemAndHidden, 1u);
    EXPECT_EQ(call.block.temporaryDirectoryGiven, 1u);
    EXPECT_EQ(call.temporaryDirectory, "/var/tmp");
    EXPECT_EQ(call.block.writeLog, 1u);
    EXPECT_EQ(call.block.commentGiven, 0u);
    EXPECT_EQ(call.block.includeListGiven, 0u);
    EXPECT_EQ(call.block.excludeListGiven, 0u);

    options.storePath = 1;
    options.addFilesByDate = 0;
    options.tempFilePath.clear();
    settings.logFile = 0;
    {
        ZipEngineSession session(ui, engine, settings);
        session.applyZipOptions(options);
        session.runZip("/a/B.ZIP", "*.*", 2150);
    }
    const FakeEngine::ZipCall& second = engine.zipCalls().back();
    EXPECT_EQ(second.block.noDirectoryNames, 0u);
    EXPECT_EQ(second.block.dateGiven, 0u);
    EXPECT_EQ(second.date, std::nullopt);
    EXPECT_EQ(second.block.temporaryDirectoryGiven, 0u);
    EXPECT_EQ(second.temporaryDirectory, std::nullopt);
    EXPECT_EQ(second.block.writeLog, 0u);
}

TEST_F(ZipEngineSessionTest, SpanDiskTypeBecomesItsOptionWord)
{
    const std::array<std::pair<int, uint16_t>, 9> cases{{
        {0, 0},
        {1, 0x8000},
        {2, 0x8001},
        {3, 0x8003},
        {4, 0x8700},
        {5, 0x8200},
        {6, 0x8100},
        // Outside the list: no spanning rather than a word the engine never asked for.
        {7, 0},
        {-1, 0},
    }};
    for (const auto& [type, word] : cases) {
        SCOPED_TRACE(type);
        ZipJobOptions job;
        job.spanDisks = type;
        ZipEngineSession session(ui, engine, settings);
        session.applyZipJob(job);
        EXPECT_EQ(session.zipCommand().spanOptions, word);
    }
}

TEST_F(ZipEngineSessionTest, ListsAreJoinedWithSpacesAndAnEmptyArrayGivesNone)
{
    const std::vector<std::string> include{"\"A.TXT\"", "\"SUB/B C.TXT\"", "\"*.DOC\""};
    {
        ZipEngineSession session(ui, engine, settings);
        session.setLists(include, {});
        session.runZip("/a/B.ZIP", "*.*", 2150);
    }
    EXPECT_EQ(engine.zipCalls().back().includeList, "\"A.TXT\" \"SUB/B C.TXT\" \"*.DOC\"");
    EXPECT_EQ(engine.zipCalls().back().block.includeListGiven, 1u);
    EXPECT_EQ(engine.zipCalls().back().excludeList, std::nullopt);
    EXPECT_EQ(engine.zipCalls().back().block.excludeListGiven, 0u);

    ZipJobOptions job;
    job.include = "*.TXT *.DOC";
    job.exclude = "";
    {
        ZipEngineSession session(ui, engine, settings);
        session.applyZipJob(job);
        session.runZip("/a/B.ZIP", "*.*", 2150);
    }
    EXPECT_EQ(engine.zipCalls().back().includeList, "*.TXT *.DOC");
    EXPECT_EQ(engine.zipCalls().back().block.excludeListGiven, 0u);
}

TEST_F(ZipEngineSessionTest, UnzipOptionsAndJobFillTheSameFourFields)
{
    UnzipOptions options;
    options.overwrite = 1;
    options.recurseOut = 1;
    options.recreate = 0;
    settings.logFile = 1;
    {
        ZipEngineSession session(ui, engine, settings);
        session.applyUnzipOptions(options);
        session.setDestination("/home/ann/out/");
        session.runUnzip("/a/B.ZIP", "*.*", 3050);
    }
    const FakeEngine::UnzipCall& call = engine.unzipCalls().back();
    EXPECT_EQ(call.block.overwrite, 1u);
    EXPECT_EQ(call.block.recursePathInformation, 1u);
    EXPECT_EQ(call.block.noDirectoryNames, 1u);
    EXPECT_EQ(call.block.writeLog, 1u);
    EXPECT_EQ(call.destinationDirectory, "/home/ann/out/");

    UnzipJobOptions job;
    job.overwrite = 0;
    job.recurse = 0;
    job.recreate = 1;
    job.password = "pw";
    {
        ZipEngineSession session(ui, engine, settings);
        session.applyUnzipJob(job);
        session.runUnzip("/a/B.ZIP", "*.*", 3050);
    }
    const FakeEngine::UnzipCall& second = engine.unzipCalls().back();
    EXPECT_EQ(second.block.overwrite, 0u);
    EXPECT_EQ(second.block.recursePathInformation, 0u);
    EXPECT_EQ(second.block.noDirectoryNames, 0u);
    EXPECT_EQ(second.password, "pw");
    EXPECT_EQ(second.block.decrypt, 1u);
}

TEST_F(ZipEngineSessionTest, CommentIsGivenOnlyWhenSetAndAnEmptyOneRemoves)
{
    {
        ZipEngineSession session(ui, engine, settings);
        session.setComment(std::string());
        session.runZip("/a/B.ZIP", "*.*", 2150);
    }
    EXPECT_EQ(engine.zipCalls().back().block.commentGiven, 1u);
    EXPECT_EQ(engine.zipCalls().back().comment, "");
    {
        ZipEngineSession session(ui, engine, settings);
        session.setComment(std::nullopt);
        session.runZip("/a/B.ZIP", "*.*", 2150);
    }
    EXPECT_EQ(engine.zipCalls().back().block.commentGiven, 0u);
}

TEST_F(ZipEngineSessionTest, NothingToDoIsShownForDzipsTwelveOnly)
{
    ZipEngineSession session(ui, engine, settings);
    engine.queueZipResult(EngineResult::NothingToDo);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(session.runZip("/a/B.ZIP", "*.*", 2150), EngineResult::NothingToDo);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Nothing to do!");
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::Ok);

    engine.queueUnzipResult(EngineResult::NothingToDo);
    EXPECT_EQ(session.runUnzip("/a/B.ZIP", "*.*", 3050), EngineResult::NothingToDo);
    engine.queueZipResult(EngineResult::EntriesSkipped);
    EXPECT_EQ(session.runZip("/a/B.ZIP", "*.*", 2150), EngineResult::EntriesSkipped);
    EXPECT_EQ(ui.messages().size(), 1u);
}

TEST_F(ZipEngineSessionTest, AFailedRunShowsWhatTheEngineSaidAPassedTestItsSummaryAWriteWhatItLeftOutAndCancelNothing)
{
    auto speak = [](uint16_t result) {
        return [result](UnzipCommand& command) {
            command.messageCallback("bad CRC: a.txt", 0, command.messageCallbackData);
            command.messageCallback("1 error found", 0, command.messageCallbackData);
            return result;
        };
    };
    ZipEngineSession session(ui, engine, settings);
    engine.setUnzipAction(speak(EngineResult::CrcError));
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(session.runUnzip("/a/B.ZIP", "*.*", 3500), EngineResult::CrcError);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "bad CRC: a.txt\n1 error found");
    EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(ui.messages()[0].caption, "B");

    engine.setUnzipAction(speak(EngineResult::Ok));
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(session.runUnzip("/a/B.ZIP", "*.*", 3500), EngineResult::Ok);
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[1].text, "1 error found");
    EXPECT_EQ(ui.messages()[1].icon, MessageIcon::Information);
    EXPECT_EQ(ui.messages()[1].caption, "B");

    // A successful extraction, and a cancelled test, say nothing.
    EXPECT_EQ(session.runUnzip("/a/B.ZIP", "*.*", 3050), EngineResult::Ok);
    engine.setUnzipAction(speak(EngineResult::Cancelled));
    EXPECT_EQ(session.runUnzip("/a/B.ZIP", "*.*", 3500), EngineResult::Cancelled);
    EXPECT_EQ(ui.messages().size(), 2u);

    // A successful write that left files out says which, all of it.
    engine.setZipAction([](ZipCommand& command) {
        command.messageCallback("Not found: gone.txt", 0, command.messageCallbackData);
        command.messageCallback("Skipped 2 hidden files or folders", 0, command.messageCallbackData);
        return EngineResult::Ok;
    });
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(session.runZip("/a/B.ZIP", "*.*", 2150), EngineResult::Ok);
    ASSERT_EQ(ui.messages().size(), 3u);
    EXPECT_EQ(ui.messages()[2].text, "Not found: gone.txt\nSkipped 2 hidden files or folders");
    EXPECT_EQ(ui.messages()[2].icon, MessageIcon::Information);
}

TEST_F(ZipEngineSessionTest, ProgressWindowShowsTheWaitTextAndClosesAfterTheEngine)
{
    bool openDuringCall = false;
    engine.setZipAction([&](ZipCommand&) {
        openDuringCall = ui.progressOpen();
        return EngineResult::WriteError;
    });
    ZipEngineSession session(ui, engine, settings);
    EXPECT_EQ(session.runZip("/a/B.ZIP", "*.*", 2150), EngineResult::WriteError);
    EXPECT_TRUE(openDuringCall);
    EXPECT_FALSE(ui.progressOpen());
    ASSERT_FALSE(ui.progressTexts().empty());
    EXPECT_EQ(ui.progressTexts().front(), "Please wait while reading ZIP info.");
}

TEST_F(ZipEngineSessionTest, WorkingDirectoryIsRestoredAfterAFailingEngine)
{
    const std::filesystem::path before = std::filesystem::current_path();
    const std::filesystem::path elsewhere = directory.path();
    auto wander = [&] { std::filesystem::current_path(elsewhere); };
    engine.setZipAction([&](ZipCommand&) {
        wander();
        return EngineResult::CannotCreate;
    });
    engine.setUnzipAction([&](UnzipCommand&) {
        wander();
        return EngineResult::CrcError;
    });
    ZipEngineSession session(ui, engine, settings);
    EXPECT_EQ(session.runZip("/a/B.ZIP", "*.*", 2150), EngineResult::CannotCreate);
    EXPECT_EQ(std::filesystem::current_path(), before);
    EXPECT_EQ(session.runUnzip("/a/B.ZIP", "*.*", 3050), EngineResult::CrcError);
    EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST_F(ZipEngineSessionTest, ASecondRunFromTheEventPumpIsRefusedWithoutCallingTheEngine)
{
    ZipEngineSession outer(ui, engine, settings);
    uint16_t innerZip = 0;
    uint16_t innerUnzip = 0;
    ui.setOnProcessEvents([&] {
        // The user pressed Cancel, then started another command before the engine looked.
        CancelFlags::zipEngine = true;
        ZipEngineSession inner(ui, engine, settings);
        innerZip = inner.runZip("/a/OTHER.ZIP", "*.*", 2150);
        innerUnzip = inner.runUnzip("/a/OTHER.ZIP", "*.*", 3050);
        return false;
    });
    int callbackAnswer = -1;
    engine.setZipAction([&](ZipCommand& block) {
        callbackAnswer = block.statusCallback("Adding A.TXT", 10, block.statusCallbackData);
        return EngineResult::Cancelled;
    });
    EXPECT_EQ(outer.runZip("/a/B.ZIP", "*.*", 2150), EngineResult::Cancelled);
    EXPECT_EQ(innerZip, SessionResult::Busy);
    EXPECT_EQ(innerUnzip, SessionResult::Busy);
    EXPECT_EQ(engine.zipCalls().size(), 1u);
    EXPECT_TRUE(engine.unzipCalls().empty());
    // The refused runs left the running operation's cancel request alone.
    EXPECT_EQ(callbackAnswer, 1);
    EXPECT_EQ(ui.progressOpenings(), 1);

    // Once the first run ended, the next one runs.
    ui.setOnProcessEvents({});
    engine.setZipAction({});
    ZipEngineSession later(ui, engine, settings);
    EXPECT_EQ(later.runZip("/a/B.ZIP", "*.*", 2150), EngineResult::Ok);
    EXPECT_EQ(engine.zipCalls().size(), 2u);
}

} // namespace
