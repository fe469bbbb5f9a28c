#include "core/text/DirectoryHistory.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

DirectoryHistory fullHistory()
{
    return {"/a", "/b", "/c", "/d", "/e"};
}

TEST(DirectoryHistory, NewDirectoryPushesTheOthersDownAndDropsTheLast)
{
    DirectoryHistory history = fullHistory();
    addToDirectoryHistory(history, "/new");
    EXPECT_EQ(history, (DirectoryHistory{"/new", "/a", "/b", "/c", "/d"}));
}

TEST(DirectoryHistory, KnownDirectoryMovesToTheTopWithoutDuplicate)
{
    DirectoryHistory history = fullHistory();
    addToDirectoryHistory(history, "/c");
    EXPECT_EQ(history, (DirectoryHistory{"/c", "/a", "/b", "/d", "/e"}));

    addToDirectoryHistory(history, "/c");
    EXPECT_EQ(history, (DirectoryHistory{"/c", "/a", "/b", "/d", "/e"}));

    addToDirectoryHistory(history, "/d");
    EXPECT_EQ(history, (DirectoryHistory{"/d", "/c", "/a", "/b", "/e"}));
}

TEST(DirectoryHistory, LastEntryIsDroppedEvenWhenItIsTheDirectory)
{
    DirectoryHistory history = fullHistory();
    addToDirectoryHistory(history, "/e");
    EXPECT_EQ(history, (DirectoryHistory{"/e", "/a", "/b", "/c", "/d"}));
}

TEST(DirectoryHistory, ComparesLetterCaseExactly)
{
    DirectoryHistory history = fullHistory();
    addToDirectoryHistory(history, "/B");
    EXPECT_EQ(history, (DirectoryHistory{"/B", "/a", "/b", "/c", "/d"}));
}

TEST(DirectoryHistory, FillsAnEmptyHistoryFromTheTop)
{
    DirectoryHistory history;
    addToDirectoryHistory(history, "/x");
    addToDirectoryHistory(history, "/y");
    EXPECT_EQ(history, (DirectoryHistory{"/y", "/x", "", "", ""}));
}

} // namespace
