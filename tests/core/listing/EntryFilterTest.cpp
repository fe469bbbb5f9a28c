#include "core/listing/EntryFilter.h"

#include "EntryFixtures.h"

#include <gtest/gtest.h>

using namespace quarvo;
using quarvo::testing::EntryList;
using quarvo::testing::namesOf;

namespace {

using Names = std::vector<std::string>;

EntryList sampleArchive()
{
    EntryList list;
    list.add("README");
    list.add("DIR/");
    list.add("DIR/LETTER.DOC");
    list.add("notes.txt");
    list.add("DIR/SUB/Image.TXT");
    return list;
}

TEST(EntryFilter, StarDotStarShowsEveryEntryDottedOrNot)
{
    EntryList list = sampleArchive();
    EXPECT_EQ(effectiveFilterPattern("*.*"), "*");
    EXPECT_EQ(namesOf(shownEntries(list.entries(), "*.*")),
              (Names{"README", "DIR/", "DIR/LETTER.DOC", "notes.txt", "DIR/SUB/Image.TXT"}));
}

TEST(EntryFilter, OnlyTheExactDefaultIsWidened)
{
    // Another spelling of the default is an ordinary pattern, which needs a dot.
    EntryList list = sampleArchive();
    EXPECT_EQ(effectiveFilterPattern("*.* "), "*.* ");
    EXPECT_EQ(effectiveFilterPattern("*.**"), "*.**");
    EXPECT_EQ(namesOf(shownEntries(list.entries(), "*.**")),
              (Names{"DIR/LETTER.DOC", "notes.txt", "DIR/SUB/Image.TXT"}));
}

TEST(EntryFilter, PatternsMatchTheWholeStoredNameIgnoringCase)
{
    EntryList list = sampleArchive();
    EXPECT_EQ(namesOf(shownEntries(list.entries(), "*.txt")), (Names{"notes.txt", "DIR/SUB/Image.TXT"}));
    EXPECT_EQ(namesOf(shownEntries(list.entries(), "dir/*")),
              (Names{"DIR/", "DIR/LETTER.DOC", "DIR/SUB/Image.TXT"}));
    EXPECT_EQ(namesOf(shownEntries(list.entries(), "*.TXT")), (Names{"notes.txt", "DIR/SUB/Image.TXT"}));
    EXPECT_EQ(namesOf(shownEntries(list.entries(), "[n]*")), (Names{"notes.txt"}));
}

TEST(EntryFilter, EmptyOrMalformedFilterShowsNothing)
{
    EntryList list = sampleArchive();
    EXPECT_TRUE(shownEntries(list.entries(), "").empty());
    EXPECT_TRUE(shownEntries(list.entries(), "[").empty());
}

TEST(EntryFilter, RowsAreTheShownEntriesInTheChosenOrder)
{
    EntryList list = sampleArchive();
    EXPECT_EQ(namesOf(listingRows(list.entries(), "*.*", SortOrder::FileName)),
              (Names{"DIR/", "DIR/SUB/Image.TXT", "DIR/LETTER.DOC", "notes.txt", "README"}));
    EXPECT_EQ(namesOf(listingRows(list.entries(), "*.txt", SortOrder::CompressionOrder)),
              (Names{"notes.txt", "DIR/SUB/Image.TXT"}));
}

} // namespace
