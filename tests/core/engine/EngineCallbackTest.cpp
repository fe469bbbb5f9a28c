#include "EngineSessionFixture.h"

#include "core/ui/DialogResult.h"
#include "engines/api/EngineResult.h"

#include <cstring>
#include <vector>

using namespace quarvo;
using quarvo::testing::EngineSessionTest;

namespace {

using EngineCallbackTest = EngineSessionTest;

// An engine buffer exactly as long as its text, so a rewrite that grew would be caught by the
// address sanitizer.
std::vector<char> engineBuffer(const std::string& text)
{
    return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

TEST_F(EngineCallbackTest, MessagesBecomeTheCaptionAfterTheArchiveTitle)
{
    engine.setZipAction([](ZipCommand& block) {
        block.messageCallback("Adding: A.TXT", 0, block.messageCallbackData);
        return EngineResult::Ok;
    });
    engine.setUnzipAction([](UnzipCommand& block) {
        block.messageCallback("Testing: B.TXT", 0, block.messageCallbackData);
        return EngineResult::Ok;
    });
    ZipEngineSession session(ui, engine, settings);
    ui.answerMessage(DialogResult::Ok); // what a write said is shown once it is done
    session.runZip("/home/ann/My.Backup.ZIP", "*.*", 2150);
    EXPECT_EQ(session.archiveTitle(), "My.Backup");
    session.runUnzip("/home/ann/NODOT", "*.*", 3050);
    EXPECT_EQ(ui.progressCaptions(),
              (std::vector<std::string>{"My.Backup - Adding: A.TXT", "NODOT - Testing: B.TXT"}));
}

TEST_F(EngineCallbackTest, StatusSetsTheLineAndPercentAndPumpsEvents)
{
    int pumped = 0;
    ui.setOnProcessEvents([&] {
        ++pumped;
        return false;
    });
    std::vector<int> answers;
    std::vector<int> percents;
    engine.setZipAction([&](ZipCommand& block) {
        answers.push_back(block.statusCallback("Deflating A.TXT", 40, block.statusCallbackData));
        percents.push_back(ui.lastPercent());
        // A broken engine's percentage does not overfill the bar.
        answers.push_back(block.statusCallback("Deflating B.TXT", 250, block.statusCallbackData));
        percents.push_back(ui.lastPercent());
        return EngineResult::Ok;
    });
    ZipEngineSession session(ui, engine, settings);
    session.runZip("/a/B.ZIP", "*.*", 2150);
    EXPECT_EQ(answers, (std::vector<int>{0, 0}));
    EXPECT_EQ(percents, (std::vector<int>{40, 100}));
    EXPECT_EQ(pumped, 2);
    EXPECT_EQ(ui.progressTexts(), (std::vector<std::string>{"Please wait while reading ZIP info.",
                                                            "Deflating A.TXT", "Deflating B.TXT"}));
}

TEST_F(EngineCallbackTest, AQuitSeenWhilePumpingCancelsAndTheNextRunStartsClear)
{
    bool quit = true;
    ui.setOnProcessEvents([&] { return quit; });
    std::vector<int> answers;
    auto report = [&](UnzipCommand& block) {
        answers.push_back(block.statusCallback("Inflating", 5, block.statusCallbackData));
        answers.push_back(block.messageCallback("still here", 0, block.messageCallbackData));
        return answers.front() ? EngineResult::Cancelled : EngineResult::Ok;
    };
    engine.setUnzipAction(report);
    ZipEngineSession session(ui, engine, settings);
    EXPECT_EQ(session.runUnzip("/a/B.ZIP", "*.*", 3050), EngineResult::Cancelled);
    EXPECT_TRUE(CancelFlags::zipEngine);
    // Once cancelled, every later callback of the run says stop, even without another quit.
    EXPECT_EQ(answers, (std::vector<int>{1, 1}));

    quit = false;
    answers.clear();
    EXPECT_EQ(session.runUnzip("/a/B.ZIP", "*.*", 3050), EngineResult::Ok);
    EXPECT_EQ(answers, (std::vector<int>{0, 0}));
}

TEST_F(EngineCallbackTest, TheCancelButtonStopsTheEngineAtItsNextCallback)
{
    ui.setOnProcessEvents([] {
        CancelFlags::zipEngine = true; // what the progress window's Cancel does
        return false;
    });
    int answer = -1;
    engine.setZipAction([&](ZipCommand& block) {
        answer = block.messageCallback("Adding: A.TXT", 0, block.messageCallbackData);
        return EngineResult::Cancelled;
    });
    ZipEngineSession session(ui, engine, settings);
    EXPECT_EQ(session.runZip("/a/B.ZIP", "*.*", 2150), EngineResult::Cancelled);
    EXPECT_EQ(answer, 1);
}

struct RewriteCase {
    const char* text;
    const char* rewritten;
};

TEST_F(EngineCallbackTest, QueryTextsLoseTheEngineNameInAnyCase)
{
    const RewriteCase cases[] = {
        {"DYNAZIP could not open the file", "Quarvo could not open the file"},
        {"Warning from DynaZip: disk full", "Warning from Quarvo: disk full"},
        {"dynazip, dYnAzIp and DYNAZIPDYNAZIP", "Quarvo, Quarvo and QuarvoQuarvo"},
        {"Nothing of it Here", "Nothing of it Here"},
        {"DYNAZI", "DYNAZI"},
        {"", ""},
    };
    ZipEngineSession session(ui, engine, settings);
    for (const RewriteCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<char> text1 = engineBuffer(c.text);
        std::vector<char> text2 = engineBuffer(c.text);
        EXPECT_EQ(ZipEngineSession::onEngineQuery(EngineQuery::Notice, 0, 0, 0, text1.data(), text2.data(),
                                                  &session),
                  0);
        EXPECT_STREQ(text1.data(), c.rewritten);
        EXPECT_STREQ(text2.data(), c.rewritten);
    }
}

TEST_F(EngineCallbackTest, APreambleQueryIsAnsweredOneAndLeftAlone)
{
    ZipEngineSession session(ui, engine, settings);
    for (const char* text : {"PREAMBLE of DYNAZIP", "the preamble of dynazip", "a PreAmble"}) {
        SCOPED_TRACE(text);
        std::vector<char> text1 = engineBuffer(text);
        std::vector<char> text2 = engineBuffer("DYNAZIP");
        EXPECT_EQ(ZipEngineSession::onEngineQuery(EngineQuery::Notice, 0, 0, 0, text1.data(), text2.data(),
                                                  &session),
                  1);
        EXPECT_STREQ(text1.data(), text);
        EXPECT_STREQ(text2.data(), "DYNAZIP");
    }
}

TEST_F(EngineCallbackTest, TheSecondTextOfTheCommentQueryAndMissingTextsAreLeftAlone)
{
    ZipEngineSession session(ui, engine, settings);
    std::vector<char> comment = engineBuffer("made with DYNAZIP");
    std::vector<char> name = engineBuffer("DYNAZIP.TXT");
    EXPECT_EQ(ZipEngineSession::onEngineQuery(EngineQuery::ArchiveComment, 0, 0, 0, comment.data(),
                                              name.data(), &session),
              0);
    EXPECT_STREQ(comment.data(), "made with Quarvo");
    EXPECT_STREQ(name.data(), "DYNAZIP.TXT");

    std::vector<char> second = engineBuffer("DYNAZIP");
    EXPECT_EQ(ZipEngineSession::onEngineQuery(EngineQuery::Notice, 0, 0, 0, nullptr, second.data(), &session),
              0);
    EXPECT_STREQ(second.data(), "Quarvo");
    EXPECT_EQ(ZipEngineSession::onEngineQuery(EngineQuery::Notice, 0, 0, 0, nullptr, nullptr, &session), 0);
}

} // namespace
