#include "core/dialogs/DirectoryConfirmation.h"

#include "core/ui/DialogResult.h"
#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quarvo;
using quarvo::testing::ScriptedUserInterface;
using quarvo::testing::TemporaryDirectory;
namespace fs = std::filesystem;

namespace {

std::string question(const std::string& directory)
{
    return "Directory \"" + directory + "\" does not exist. Create it?";
}

std::string failure(const std::string& directory)
{
    return "Directory \"" + directory + "\" could not be created.";
}

TEST(DirectoryConfirmation, ExistingDirectoryPassesWithoutAsking)
{
    ScriptedUserInterface ui;
    TemporaryDirectory temporary;
    EXPECT_TRUE(confirmDirectory(ui, temporary.path().string()));
    EXPECT_TRUE(confirmDirectory(ui, "/"));
    EXPECT_TRUE(ui.messages().empty());
}

TEST(DirectoryConfirmation, YesCreatesTheMissingLastLevel)
{
    ScriptedUserInterface ui;
    TemporaryDirectory temporary;
    const std::string target = temporary.file("new") + "/";
    ui.answerMessage(DialogResult::Yes);
    EXPECT_TRUE(confirmDirectory(ui, target));
    EXPECT_TRUE(fs::is_directory(temporary.file("new")));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, question(target));
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::YesNoCancel);
}

TEST(DirectoryConfirmation, NoAndCancelKeepTheDialogOpenAndCreateNothing)
{
    ScriptedUserInterface ui;
    TemporaryDirectory temporary;
    const std::string target = temporary.file("new");
    for (int answer : {DialogResult::No, DialogResult::Cancel}) {
        ui.answerMessage(answer);
        EXPECT_FALSE(confirmDirectory(ui, target));
    }
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string>{question(target), question(target)}));
}

TEST(DirectoryConfirmation, OnlyTheLastLevelOfAnAbsolutePathIsCreated)
{
    ScriptedUserInterface ui;
    TemporaryDirectory temporary;
    const std::string twoLevels = temporary.file("a/b");
    const std::string relative = "quarvo-relative-directory-that-is-not-there";
    const std::string overAFile = temporary.file("file");
    quarvo::testing::writeFile(overAFile, "x");

    for (const std::string& directory : {twoLevels, relative, overAFile}) {
        ui.answerMessage(DialogResult::Yes);
        ui.answerMessage(DialogResult::Ok);
        EXPECT_FALSE(confirmDirectory(ui, directory)) << directory;
        EXPECT_EQ(ui.messages().back().text, failure(directory));
    }
    EXPECT_FALSE(fs::exists(temporary.file("a")));
    EXPECT_FALSE(fs::exists(relative));
    EXPECT_TRUE(fs::is_regular_file(overAFile));
}

} // namespace
