#include "core/dialogs/FileListLines.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

struct RelativeCase {
    const char* directory;
    const char* base;
    const char* expected;
};

// Each case is one way the browser's directory can stand to the ZIP From directory.
TEST(FileListLines, RelativeDirectoryCoversEveryPositionOfTheBrowser)
{
    const RelativeCase cases[] = {
        {"/home/user/src", "/home/user/src", ""},                  // the same directory
        {"/home/user/src/", "/home/user/src", ""},                 // a trailing separator changes nothing
        {"/home/user/src/sub", "/home/user/src", "sub"},           // one level below
        {"/home/user/src/sub/deep", "/home/user/src", "sub/deep"}, // two levels below
        {"/home/user", "/home/user/src", ".."},                    // the parent
        {"/home", "/home/user/src", "../.."},                      // further up
        {"/", "/home/user/src", "../../.."},                       // the root itself
        {"/home/user/doc/a", "/home/user/src/b", "../../doc/a"},   // diverging after a common start
        {"/tmp/x", "/home/user", "../../tmp/x"},                   // diverging just below the root
        {"/home/User/src", "/home/user/src", "../../User/src"},    // letter case makes a different directory
        {"relative/dir", "/home/user", "relative/dir"},            // not sharing the root: as it is
    };
    for (const RelativeCase& c : cases)
        EXPECT_EQ(relativeDirectory(c.directory, c.base), c.expected) << c.directory << " from " << c.base;
}

TEST(FileListLines, LineJoinsDirectoryAndNameInDoubleQuotes)
{
    EXPECT_EQ(fileListLine("", "A.TXT"), "\"A.TXT\"");
    EXPECT_EQ(fileListLine("sub", "A.TXT"), "\"sub/A.TXT\"");
    EXPECT_EQ(fileListLine("..", "*.c"), "\"../*.c\"");
    EXPECT_EQ(fileListLine("/", "a b.txt"), "\"/a b.txt\"");
    EXPECT_EQ(fileListLine("/data/", "x"), "\"/data/x\"");
}

TEST(FileListLines, DuplicatesAreFoundIgnoringCase)
{
    const std::vector<std::string> lines{"\"sub/A.TXT\"", "\"*.c\""};
    EXPECT_TRUE(containsLineIgnoringCase(lines, "\"SUB/a.txt\""));
    EXPECT_TRUE(containsLineIgnoringCase(lines, "\"*.C\""));
    EXPECT_FALSE(containsLineIgnoringCase(lines, "\"sub/A.TX\""));
    EXPECT_FALSE(containsLineIgnoringCase({}, "\"*.c\""));
}

TEST(FileListLines, FilterNeedsAWildcardAndNoBlankOrSeparator)
{
    EXPECT_TRUE(isAcceptableFilter("*.TXT"));
    EXPECT_TRUE(isAcceptableFilter("A$"));
    EXPECT_TRUE(isAcceptableFilter("*"));
    EXPECT_FALSE(isAcceptableFilter("A.TXT"));      // no wildcard
    EXPECT_FALSE(isAcceptableFilter("*.T XT"));     // a blank
    EXPECT_FALSE(isAcceptableFilter("sub\\*.txt")); // a backslash
    EXPECT_FALSE(isAcceptableFilter("sub/*.txt"));  // a directory
    EXPECT_FALSE(isAcceptableFilter(""));
}

TEST(FileListLines, StarDotStarListsEveryFileAndOtherFiltersMatchIgnoringCase)
{
    EXPECT_TRUE(filterListsFile("*.*", "Makefile"));
    EXPECT_TRUE(filterListsFile("*.*", "a.txt"));
    EXPECT_TRUE(filterListsFile("*.txt", "A.TXT"));
    EXPECT_FALSE(filterListsFile("*.txt", "a.txt.bak"));
    EXPECT_FALSE(filterListsFile("*.c", "Makefile"));
}

} // namespace
