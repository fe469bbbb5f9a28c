// Check Out over the real engine: where the files go, the question before a directory that is not
// empty, viewing from the checked-out files, and deleting exactly what the check-out created.

#include "EntryLaunchFixture.h"

#include "core/documents/CheckOutCommand.h"
#include "core/ui/DialogResult.h"

using namespace quarvo;
using quarvo::testing::EntryLaunchTest;
using quarvo::testing::readFile;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

namespace {

using CheckOutCommandTest = EntryLaunchTest;

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

const std::map<std::string, std::string> Entries{
    {"a.txt", "alpha"}, {"sub/b.txt", "beta"}, {"sub/deep/c.txt", "gamma"}};

TEST_F(CheckOutCommandTest, IntoAnEmptyDirectoryAndOutAgain)
{
    ZipDocument* document = openArchive("CO.ZIP", Entries);
    ASSERT_NE(document, nullptr);
    const std::string target = directory.file("out");
    fs::create_directories(target);
    settings.extractHistory.front() = "/somewhere/before";
    dialogs.answerCheckOut(DialogResult::Ok, [&](CheckOutDialogValues& values) {
        values.destinationDirectory = target + "/";
        values.password = "";
    });
    EXPECT_EQ(checkOut(*document), 0);
    ASSERT_EQ(dialogs.checkOutShown().size(), 1u);
    EXPECT_EQ(dialogs.checkOutShown()[0].title, "Check Out");
    EXPECT_EQ(dialogs.checkOutShown()[0].destinationDirectory, "/somewhere/before");
    EXPECT_EQ(settings.extractHistory.front(), target + "/");
    EXPECT_TRUE(document->isCheckedOut());
    EXPECT_EQ(document->checkoutDirectory(), target);
    EXPECT_EQ(readFile(target + "/sub/deep/c.txt"), "gamma");
    EXPECT_EQ(listing.hints.back(), UpdateHint::ContentsRebuilt);

    // View takes the checked-out file, extracts nothing and deletes nothing.
    view(*document, "sub/b.txt");
    EXPECT_EQ(lastFile(), target + "/sub/b.txt");
    EXPECT_TRUE(itemDirectories().empty());
    openItems.processEnded(lastProcess());
    EXPECT_EQ(readFile(target + "/sub/b.txt"), "beta");

    ui.answerMessage(DialogResult::Yes);
    EXPECT_EQ(document->confirmClose(false), DialogResult::Yes);
    EXPECT_EQ(
        ui.messageTexts(),
        std::vector<std::string>{document->path() + " has been Checked Out.\n\nDelete checked out files?"});
    EXPECT_TRUE(treeOf(target).empty());
    EXPECT_TRUE(fs::is_directory(target));
}

TEST_F(CheckOutCommandTest, IntoADirectoryThatIsNotEmptyAsksAndDeletesOnlyWhatItCreated)
{
    ZipDocument* document = openArchive("NE.ZIP", Entries);
    ASSERT_NE(document, nullptr);
    const std::string target = directory.file("busy");
    writeFile(target + "/mine.txt", "the user's");
    writeFile(target + "/a.txt", "replaced by the entry");
    fs::create_directories(target + "/sub");
    const std::string question =
        "The directory\n\n" + target +
        "\n\nis not empty. Checking out into it replaces the files that have the names "
        "of entries.\n\nCheck out into it anyway?";

    // No: nothing happens.
    dialogs.answerCheckOut(DialogResult::Ok,
                           [&](CheckOutDialogValues& values) { values.destinationDirectory = target; });
    ui.answerMessage(DialogResult::No);
    EXPECT_EQ(checkOut(*document), 0);
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{question});
    EXPECT_EQ(ui.messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(ui.messages()[0].defaultButton, DialogResult::No);
    EXPECT_FALSE(document->isCheckedOut());
    EXPECT_EQ(treeOf(target), (std::set<std::string>{"a.txt", "mine.txt", "sub/"}));

    // Yes: checked out over what was there.
    dialogs.answerCheckOut(DialogResult::Ok,
                           [&](CheckOutDialogValues& values) { values.destinationDirectory = target; });
    ui.answerMessage(DialogResult::Yes);
    EXPECT_EQ(checkOut(*document), 0);
    EXPECT_TRUE(document->isCheckedOut());
    EXPECT_EQ(readFile(target + "/a.txt"), "alpha");

    // Deleting the checked-out files leaves what was there before, the replaced file and the
    // directory that existed included.
    ui.answerMessage(DialogResult::Yes);
    document->confirmClose(false);
    EXPECT_EQ(treeOf(target), (std::set<std::string>{"a.txt", "mine.txt", "sub/"}));
}

TEST_F(CheckOutCommandTest, CancelChecksNothingOut)
{
    ZipDocument* document = openArchive("C.ZIP", Entries);
    ASSERT_NE(document, nullptr);
    dialogs.answerCheckOut(DialogResult::Cancel);
    EXPECT_EQ(checkOut(*document), 0);
    EXPECT_FALSE(document->isCheckedOut());
}

} // namespace
