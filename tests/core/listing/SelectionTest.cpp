#include "core/listing/SelectionList.h"
#include "core/listing/SelectionSummary.h"

#include "EntryFixtures.h"

#include <gtest/gtest.h>

using namespace quarvo;
using quarvo::testing::EntryList;

namespace {

TEST(SelectionSummary, RecountStoresEachRowStateInItsEntryAndSumsSizes)
{
    EntryList list;
    list.add("a", 100);
    list.add("b", 20);
    list.add("c", 3);
    list.entries()[0]->selected = true; // cleared by the recount: the row is not selected
    std::vector<ZipEntry*> rows = list.pointers();
    std::vector<bool> rowSelected = {false, true, true};

    SelectionSummary summary = recountSelection(rows, [&](size_t row) { return rowSelected[row]; });
    EXPECT_EQ(summary, (SelectionSummary{2, 23}));
    EXPECT_FALSE(list.entries()[0]->selected);
    EXPECT_TRUE(list.entries()[1]->selected);
    EXPECT_TRUE(list.entries()[2]->selected);
}

TEST(SelectionSummary, CountReadsTheEntriesWithoutChangingThem)
{
    EntryList list;
    list.add("a", 100).selected = true;
    list.add("b", 20);
    list.add("c", 3).selected = true;
    std::vector<ZipEntry*> rows = list.pointers();
    rows.push_back(nullptr);
    EXPECT_EQ(countSelection(rows), (SelectionSummary{2, 103}));
    EXPECT_FALSE(list.entries()[1]->selected);
}

TEST(SelectionSummary, BytesAddUpPastFourGibibytes)
{
    EntryList list;
    list.add("a", 4294967295u).selected = true;
    list.add("b", 2147483648u).selected = true;
    list.add("c", 5368709120u).selected = true; // a ZIP64 entry of 5 GiB
    EXPECT_EQ(countSelection(list.pointers()), (SelectionSummary{3, 11811160063u}));
}

TEST(SelectionSummary, HeaderClickSelectsAllUnlessAllAreSelected)
{
    EXPECT_TRUE(headerClickSelectsAll(5, 0));
    EXPECT_TRUE(headerClickSelectsAll(5, 4));
    EXPECT_FALSE(headerClickSelectsAll(5, 5));
    EXPECT_FALSE(headerClickSelectsAll(0, 0));
}

TEST(SelectionList, QuotesEveryNameAndSeparatesThemWithOneSpace)
{
    EntryList list;
    list.add("A.TXT");
    list.add("DIR/B.TXT");
    list.add("C.DOC");
    SelectionList selection = buildSelectionList(list.pointers());
    EXPECT_EQ(selection.count, 3);
    EXPECT_EQ(selection.text, "\"A.TXT\" \"DIR/B.TXT\" \"C.DOC\"");
    EXPECT_EQ(selection.text.size(), 27u);

    SelectionList single = buildSelectionList(std::vector<ZipEntry*>{list.pointers()[1]});
    EXPECT_EQ(single.count, 1);
    EXPECT_EQ(single.text, "\"DIR/B.TXT\"");
}

TEST(SelectionList, EmptySelectionGivesNoText)
{
    SelectionList selection = buildSelectionList({});
    EXPECT_EQ(selection.count, 0);
    EXPECT_EQ(selection.text, "");
    EXPECT_EQ(buildTarSelectionList({}).count, 0);
}

TEST(SelectionList, RefusesANameThatQuotesCannotHold)
{
    EntryList list;
    list.add("A.TXT");
    list.add("say \"hi\".txt");
    for (SelectionList selection :
         {buildSelectionList(list.pointers()), buildTarSelectionList(list.pointers())}) {
        EXPECT_EQ(selection.count, -1);
        EXPECT_EQ(selection.text, "");
    }
}

TEST(SelectionList, TarFormLeavesNamesUnquotedUnlessTheyHoldBlanks)
{
    EntryList list;
    list.add("A.TXT");
    list.add("DIR/B.TXT");
    EXPECT_EQ(buildTarSelectionList(list.pointers()).text, "A.TXT DIR/B.TXT");

    list.add("MY FILE.TXT");
    SelectionList selection = buildTarSelectionList(list.pointers());
    EXPECT_EQ(selection.count, 3);
    EXPECT_EQ(selection.text, "A.TXT DIR/B.TXT \"MY FILE.TXT\"");
}

} // namespace
