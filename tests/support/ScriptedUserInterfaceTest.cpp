#include "support/ScriptedUserInterface.h"

#include "core/ui/DialogResult.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using quarvo::DialogResult::Cancel;
using quarvo::DialogResult::No;
using quarvo::DialogResult::Yes;
using quarvo::MessageBoxRequest;
using quarvo::testing::ScriptedUserInterface;

TEST(ScriptedUserInterface, AnswersPromptsInScriptOrderAndRecordsTheirTexts)
{
    ScriptedUserInterface ui;
    ui.answerMessage(Yes);
    ui.answerCloseQuestion(No);
    EXPECT_EQ(ui.showMessage({"first?"}), Yes);
    EXPECT_EQ(ui.askCloseQuestion("second?"), No);
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"first?"});
    EXPECT_EQ(ui.closeQuestions(), std::vector<std::string>{"second?"});
}

TEST(ScriptedUserInterface, FailsTheTestOnAnUnexpectedPromptAndAnswersCancel)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserInterface ui;
            EXPECT_EQ(ui.showMessage({"Nobody expected this"}), Cancel);
        },
        "Unexpected message box: \"Nobody expected this\"");
}

TEST(ScriptedUserInterface, FailsTheTestWhenThePromptIsOfAnotherKind)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserInterface ui;
            ui.answerCloseQuestion(Yes);
            EXPECT_EQ(ui.showMessage({"a message"}), Cancel);
            ui.askCloseQuestion("consumes the queued answer");
        },
        "Expected a close question but got a message box");
}

TEST(ScriptedUserInterface, FailsTheTestWhenAScriptedAnswerIsNeverAskedFor)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserInterface ui;
            ui.answerMessage(Yes);
        },
        "A scripted answer was never asked for");
}

TEST(ScriptedUserInterface, FailsTheTestWhenTheProgressWindowIsLeftOpen)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserInterface ui;
            std::atomic<bool> cancel{false};
            ui.openProgress(cancel);
        },
        "The progress window was left open");
}

TEST(ScriptedUserInterface, AppliesTheScriptedEditsOfADialogOnlyWhenNotCancelled)
{
    ScriptedUserInterface ui;
    ui.answerGeneralOptions(quarvo::DialogResult::Ok, [](auto& values) { values.viewerName = "less"; });
    ui.answerGeneralOptions(Cancel, [](auto& values) { values.viewerName = "ignored"; });
    quarvo::GeneralOptionsValues values{"VIEWER.EXE", false};
    ui.editGeneralOptions(values);
    EXPECT_EQ(values.viewerName, "less");
    ui.editGeneralOptions(values);
    EXPECT_EQ(values.viewerName, "less");
    EXPECT_EQ(ui.generalOptionsShown().front().viewerName, "VIEWER.EXE");
}
