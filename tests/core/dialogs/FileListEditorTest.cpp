#include "core/dialogs/FileListEditor.h"

#include "core/ui/DialogResult.h"
#include "support/ScriptedUserInterface.h"

#include <gtest/gtest.h>

using namespace quarvo;
using quarvo::testing::ScriptedUserInterface;
using List = FileListEditor::List;

namespace {

class FileListEditorTest : public ::testing::Test {
  protected:
    ScriptedUserInterface ui;
    FileListEditor editor{ui, "/work/src", {}, {}};
};

TEST_F(FileListEditorTest, FilesAreAddedRelativeToTheZipFromDirectory)
{
    editor.addFiles(List::Include, {"A.TXT"});
    editor.setCurrentDirectory("/work/src/SUB");
    editor.addFiles(List::Include, {"A.TXT"});
    editor.setCurrentDirectory("/work");
    editor.addFiles(List::Include, {"A.TXT"});
    editor.setCurrentDirectory("/media/usb", false);
    editor.addFiles(List::Exclude, {"A.TXT"});

    EXPECT_EQ(editor.lines(List::Include),
              (std::vector<std::string>{"\"A.TXT\"", "\"SUB/A.TXT\"", "\"../A.TXT\""}));
    EXPECT_EQ(editor.lines(List::Exclude), std::vector<std::string>{"\"/media/usb/A.TXT\""});
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(FileListEditorTest, FullPathAddsTheWholeDirectory)
{
    editor.setCurrentDirectory("/work/src/sub");
    editor.setFullPath(true);
    EXPECT_EQ(editor.lineFor("a.c"), "\"/work/src/sub/a.c\"");
    editor.setFullPath(false);
    EXPECT_EQ(editor.lineFor("a.c"), "\"sub/a.c\"");
}

TEST_F(FileListEditorTest, SecondFilterIsOnlyReported)
{
    EXPECT_EQ(editor.addFilter(List::Include, "*.TXT"), FileListEditor::FilterOutcome::Added);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(editor.addFilter(List::Include, "*.txt"), FileListEditor::FilterOutcome::AlreadyPresent);
    // The same filter is still welcome in the other list.
    EXPECT_EQ(editor.addFilter(List::Exclude, "*.txt"), FileListEditor::FilterOutcome::Added);

    EXPECT_EQ(editor.lines(List::Include), std::vector<std::string>{"\"*.TXT\""});
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Filter \"*.txt\" already added!");
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::Ok);
}

TEST_F(FileListEditorTest, IllegalFilterIsRefusedWithItsText)
{
    ui.answerMessage(DialogResult::Ok);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(editor.addFilter(List::Exclude, "a b*"), FileListEditor::FilterOutcome::Illegal);
    EXPECT_FALSE(editor.checkFilter("A.TXT"));
    EXPECT_TRUE(editor.lines(List::Exclude).empty());
    EXPECT_EQ(ui.messageTexts(),
              (std::vector<std::string>{"Illegal filter:\na b*", "Illegal filter:\nA.TXT"}));
}

TEST_F(FileListEditorTest, DuplicateFileAsksAndNoStopsTheLoop)
{
    editor.addFiles(List::Include, {"b.c"});
    ui.answerMessage(DialogResult::Yes); // go on after the first duplicate
    ui.answerMessage(DialogResult::No);  // stop at the second
    int added = editor.addFiles(List::Include, {"a.c", "B.C", "d.c", "A.C", "e.c"});

    EXPECT_EQ(added, 2);
    EXPECT_EQ(editor.lines(List::Include), (std::vector<std::string>{"\"b.c\"", "\"a.c\"", "\"d.c\""}));
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[0].text, "File \"B.C\" already added!\nContinue adding next file?");
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(ui.messages()[1].text, "File \"A.C\" already added!\nContinue adding next file?");
}

TEST(FileListEditor, DeleteRemovesExactlyTheSelectedLines)
{
    ScriptedUserInterface ui;
    FileListEditor editor(ui, "/w", {"\"a\"", "\"b\"", "\"c\"", "\"d\"", "\"e\""}, {"\"x\""});
    editor.deleteLines(List::Include, {1, 3, 3, 17, -1});
    editor.deleteLines(List::Include, {0});
    EXPECT_EQ(editor.lines(List::Include), (std::vector<std::string>{"\"c\"", "\"e\""}));
    EXPECT_EQ(editor.lines(List::Exclude), std::vector<std::string>{"\"x\""});
}

} // namespace
