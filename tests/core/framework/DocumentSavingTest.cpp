#include "core/framework/DocumentSaving.h"

#include "core/framework/Document.h"
#include "core/framework/View.h"
#include "core/ui/DialogResult.h"

#include "support/ScriptedUserInterface.h"

#include <gtest/gtest.h>

using namespace quarvo;
using quarvo::testing::ScriptedUserInterface;

namespace {

// A savable document that records where it was written and fails to write to paths it is told to.
class SavableDocument : public Document {
  public:
    bool onOpenDocument(const std::string&) override { return true; }
    bool isSavable() const override { return true; }
    Result<Ok> onSaveDocument(const std::string& path) override
    {
        if (path == failingPath)
            return Error{"The disk is full."};
        written.push_back(path);
        return Ok{};
    }
    FileDialogRequest saveAsRequest() const override
    {
        FileDialogRequest request;
        request.defaultExtension = "cfz";
        return request;
    }

    std::string failingPath;
    std::vector<std::string> written;
};

class HintRecorder : public View {
  public:
    void onDocumentUpdate(View*, int hint) override { hints.push_back(hint); }
    std::vector<int> hints;
};

class DocumentSavingTest : public ::testing::Test {
  protected:
    DocumentSavingTest()
    {
        document.setTitle("Untitled");
        document.setModified(true);
        document.attachView(&view);
    }

    ScriptedUserInterface ui;
    SavableDocument document;
    HintRecorder view;
};

TEST_F(DocumentSavingTest, SaveWritesToThePathAndClearsTheModifiedFlag)
{
    document.setPath("/jobs/a.cfz");
    EXPECT_TRUE(saveDocument(document, ui));
    EXPECT_EQ(document.written, std::vector<std::string>{"/jobs/a.cfz"});
    EXPECT_FALSE(document.isModified());
    EXPECT_TRUE(view.hints.empty());
    EXPECT_TRUE(ui.fileDialogs().empty());
}

TEST_F(DocumentSavingTest, SaveOfAnUntitledDocumentAsksForAPathAndTakesIt)
{
    ui.answerSaveFile("/jobs/new.cfz");
    EXPECT_TRUE(saveDocument(document, ui));
    ASSERT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(ui.fileDialogs()[0].title, "Save As");
    EXPECT_EQ(ui.fileDialogs()[0].fileName, "Untitled");
    EXPECT_EQ(ui.fileDialogs()[0].defaultExtension, "cfz");
    EXPECT_EQ(document.path(), "/jobs/new.cfz");
    EXPECT_EQ(document.title(), "new.cfz");
    EXPECT_EQ(view.hints, std::vector<int>{UpdateHint::TitleChanged});
}

TEST_F(DocumentSavingTest, SaveAsStartsInTheDocumentsDirectory)
{
    document.setPath("/jobs/a.cfz");
    ui.answerSaveFile("/other/b.cfz");
    EXPECT_TRUE(saveDocumentAs(document, ui));
    EXPECT_EQ(ui.fileDialogs()[0].initialDirectory, "/jobs");
    EXPECT_EQ(ui.fileDialogs()[0].fileName, "a.cfz");
    EXPECT_EQ(document.path(), "/other/b.cfz");
}

TEST_F(DocumentSavingTest, AFailedOrCancelledSaveKeepsPathAndModifiedFlag)
{
    document.setPath("/jobs/a.cfz");
    document.failingPath = "/jobs/a.cfz";
    ui.answerMessage(DialogResult::Ok);
    EXPECT_FALSE(saveDocument(document, ui));
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Failed to save document.\n\nThe disk is full."});

    ui.answerSaveFile("");
    EXPECT_FALSE(saveDocumentAs(document, ui));
    EXPECT_EQ(document.path(), "/jobs/a.cfz");
    EXPECT_TRUE(document.isModified());
    EXPECT_TRUE(document.written.empty());
}

// The close question: what each answer does, and whether the document may close afterwards.
TEST_F(DocumentSavingTest, TheCloseQuestionSavesOnYesAndKeepsTheDocumentOnCancel)
{
    struct Case {
        int answer;
        bool saveFails;
        bool mayClose;
        size_t writes;
    };
    const Case cases[] = {
        {DialogResult::Yes, false, true, 1},
        {DialogResult::Yes, true, false, 0},
        {DialogResult::No, false, true, 0},
        {DialogResult::Cancel, false, false, 0},
    };
    for (const Case& test : cases) {
        ScriptedUserInterface script;
        SavableDocument job;
        job.setPath("/jobs/nightly.cfz");
        job.setModified(true);
        job.failingPath = test.saveFails ? "/jobs/nightly.cfz" : "";
        script.answerMessage(test.answer);
        if (test.saveFails)
            script.answerMessage(DialogResult::Ok);
        EXPECT_EQ(saveModifiedDocument(job, script), test.mayClose) << test.answer;
        EXPECT_EQ(job.written.size(), test.writes) << test.answer;
        ASSERT_FALSE(script.messages().empty());
        EXPECT_EQ(script.messages()[0].text, "Save changes to /jobs/nightly.cfz?");
        EXPECT_EQ(script.messages()[0].buttons, MessageButtons::YesNoCancel);
    }
}

TEST_F(DocumentSavingTest, NoQuestionForAnUnmodifiedDocumentAndTheTitleForAnUnsavedOne)
{
    document.setModified(false);
    EXPECT_TRUE(saveModifiedDocument(document, ui));
    EXPECT_TRUE(ui.messages().empty());

    document.setModified(true);
    ui.answerMessage(DialogResult::No);
    EXPECT_TRUE(saveModifiedDocument(document, ui));
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Save changes to Untitled?"});
}

} // namespace
