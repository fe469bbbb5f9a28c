#include "core/launch/LaunchCodes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

namespace quarvo {
namespace {

TEST(LaunchCodes, FailureMessagesCarryTheCodesTextAndTheCommand)
{
    struct Case {
        int code;
        const char* expected;
    };
    const Case cases[] = {
        {0, "Execute failed.  System was out of memory, executable file was corrupt, or relocations were "
            "invalid.\n\nview a.txt"},
        {2, "Execute failed.  File was not found.\n\nview a.txt"},
        {3, "Execute failed.  Path was not found.\n\nview a.txt"},
        {11, "Execute failed.  Executable file was invalid. Either it was not a Windows application or there "
             "was an error in the .EXE image.\n\nview a.txt"},
        {22, "Execute failed.  Could not launch the selected file.\n\nview a.txt"},
        // Codes without a text of their own, "no association" among them, say only their number.
        {31, "Unknown error. Error ID = 31.\n\nview a.txt"},
        {7, "Unknown error. Error ID = 7.\n\nview a.txt"},
        {32, "Unknown error. Error ID = 32.\n\nview a.txt"},
    };
    for (const Case& test : cases)
        EXPECT_EQ(launchFailureMessage(test.code, "view a.txt"), test.expected) << test.code;
}

TEST(LaunchCodes, EveryCodeWithATextHasItsOwn)
{
    const int withText[] = {0, 2, 3, 5, 6, 8, 10, 11, 12, 13, 14, 15, 16, 19, 20, 21, 22};
    std::set<std::string_view> texts;
    for (int code : withText) {
        ASSERT_TRUE(launchErrorText(code)) << code;
        texts.insert(*launchErrorText(code));
    }
    EXPECT_EQ(texts.size(), std::size(withText));
    for (int code : {1, 4, 7, 9, 17, 18, 23, 31, 32})
        EXPECT_FALSE(launchErrorText(code)) << code;
}

TEST(LaunchCodes, SystemErrorsMapOntoCodesByTheStepTheyCameFrom)
{
    struct Case {
        LaunchStep step;
        int error;
        int code;
    };
    const Case cases[] = {
        {LaunchStep::Program, ENOENT, LaunchCode::FileNotFound},
        {LaunchStep::Program, ENOTDIR, LaunchCode::PathNotFound},
        {LaunchStep::Program, EACCES, LaunchCode::CouldNotLaunch},
        {LaunchStep::Program, ENOEXEC, LaunchCode::CouldNotLaunch},
        {LaunchStep::Program, ELOOP, LaunchCode::CouldNotLaunch},
        {LaunchStep::Program, ENOMEM, LaunchCode::InsufficientMemory},
        {LaunchStep::WorkingDirectory, ENOENT, LaunchCode::PathNotFound},
        {LaunchStep::WorkingDirectory, ENOTDIR, LaunchCode::PathNotFound},
        {LaunchStep::WorkingDirectory, EACCES, LaunchCode::CouldNotLaunch},
        {LaunchStep::WorkingDirectory, ENOMEM, LaunchCode::InsufficientMemory},
    };
    for (const Case& c : cases)
        EXPECT_EQ(launchCodeForErrno(c.error, c.step), c.code) << c.error << " at step " << int(c.step);
    EXPECT_EQ(launchCodeForErrno(ENOENT), LaunchCode::FileNotFound);
    EXPECT_FALSE(launchStarted(LaunchCode::LastError));
    EXPECT_TRUE(launchStarted(LaunchCode::Started));
}

} // namespace
} // namespace quarvo
