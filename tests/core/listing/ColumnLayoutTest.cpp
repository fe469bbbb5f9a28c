#include "core/listing/ColumnLayout.h"
#include "core/listing/EntryFilter.h"
#include "core/listing/HeaderTitles.h"
#include "core/listing/RowCells.h"

#include "EntryFixtures.h"
#include "FakeTextMeasurer.h"

#include <gtest/gtest.h>

using namespace quarvo;
using quarvo::testing::EntryList;
using quarvo::testing::FakeTextMeasurer;
using quarvo::testing::setComment;
namespace edge = quarvo::columnEdge;

namespace {

constexpr int32_t g = 5;
constexpr int32_t digit = 8;
constexpr int32_t comma = 2;

ColumnLayout layoutOf(const EntryList& list)
{
    return layoutColumns(list.pointers(), FakeTextMeasurer());
}

// The texts of a row that stand in the cells between two edges (both inclusive), left to right.
std::vector<PlacedText> textsBetween(const std::vector<PlacedText>& texts, const ColumnEdges& edges,
                                     size_t first, size_t last)
{
    std::vector<PlacedText> result;
    for (const PlacedText& text : texts) {
        if (text.alignment == TextAlignment::Right && text.x >= edges[first] && text.x <= edges[last] &&
            text.text.size() == 1)
            result.push_back(text);
    }
    return result;
}

std::string joined(const std::vector<PlacedText>& texts)
{
    std::string result;
    for (const PlacedText& text : texts)
        result += text.text;
    return result;
}

TEST(ColumnLayout, EmptyListingTakesTheTitleWidths)
{
    ColumnLayout layout = layoutOf(EntryList());
    const ColumnEdges& e = layout.edges;
    EXPECT_EQ(e[edge::NameLeft], 7);           // widest marker "+"
    EXPECT_EQ(e[edge::NameRight], 7 + g + 20); // "Name"
    EXPECT_EQ(e[edge::DateRight], 32 + g + 6 * digit + 2 * 3);
    EXPECT_EQ(e[edge::TimeRight], 91 + g + 4 * digit + 2);
    EXPECT_EQ(e[edge::SizeRight], 130 + g + 20);       // "Size" is wider than one digit
    EXPECT_EQ(e[edge::CompressedRight], 155 + g + 22); // "Comp."
    EXPECT_EQ(e[edge::RatioRight], 182 + g + 3 * digit + 9);
    EXPECT_EQ(e[edge::AttributesRight], 220 + g + 4 * 6);
    EXPECT_EQ(e[edge::PathLeft], 249 + g);
    EXPECT_EQ(layout.totalWidth, 254 + g + 65); // "Path->Comment"
    EXPECT_EQ(layout.sizeDigits, 1);
    EXPECT_EQ(layout.sizeCommas, 0);
}

TEST(ColumnLayout, DateTimeRatioAndAttributeCellsFollowTheirCharacters)
{
    ColumnLayout layout = layoutOf(EntryList());
    const ColumnEdges& e = layout.edges;
    // From the right: "MM/DD/YY", "HH:MM", "100%", four letters.
    const int32_t dateCells[] = {digit, digit, 3, digit, digit, 3, digit};
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(e[9 - i] - e[8 - i], dateCells[i]) << "date cell " << 9 - i;
    const int32_t timeCells[] = {digit, digit, 2, digit};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(e[14 - i] - e[13 - i], timeCells[i]) << "time cell " << 14 - i;
    const int32_t ratioCells[] = {9, digit, digit};
    for (size_t i = 0; i < 3; ++i) {
        const size_t cell = edge::RatioRight - i;
        EXPECT_EQ(e[cell] - e[cell - 1], ratioCells[i]) << "ratio cell " << cell;
    }
    for (size_t i = 0; i < 3; ++i) {
        const size_t cell = edge::AttributesRight - i;
        EXPECT_EQ(e[cell] - e[cell - 1], 6) << "attribute cell " << cell;
    }
}

TEST(ColumnLayout, ColumnsWidenForTheirWidestContent)
{
    EntryList list;
    ZipEntry& entry = list.add("DIR/LONGERNAME.TXT", 1234567, 4294967295u);
    setComment(entry, "a comment wider than the title");
    ColumnLayout layout = layoutOf(list);
    const ColumnEdges& e = layout.edges;

    EXPECT_EQ(layout.nameWidth, 13 * 5 + 2 + 0);         // LONGERNAME.TXT: 13 letters and a dot
    EXPECT_EQ(e[edge::NameRight], 7 + layout.nameWidth); // no gap before a name wider than the title
    EXPECT_EQ(layout.sizeDigits, 7);
    EXPECT_EQ(layout.sizeCommas, 2);
    EXPECT_EQ(e[edge::SizeRight], e[edge::TimeRight] + g + 7 * digit + 2 * comma);
    EXPECT_EQ(layout.compressedDigits, 10);
    EXPECT_EQ(layout.compressedCommas, 3);
    EXPECT_EQ(e[edge::CompressedRight], e[edge::SizeRight] + g + 10 * digit + 3 * comma);
    EXPECT_EQ(layout.pathWidth, FakeTextMeasurer().textWidth("DIR->a comment wider than the title"));
    EXPECT_GT(layout.pathWidth, 65);
    EXPECT_EQ(layout.totalWidth, e[edge::PathLeft] + g + layout.pathWidth);
    EXPECT_EQ(layout.fullNameWidth, FakeTextMeasurer().textWidth("DIR/LONGERNAME.TXT"));
    EXPECT_EQ(nameOnlyColumnWidth(layout), layout.fullNameWidth + 7 + g);
}

TEST(ColumnLayout, SevenDigitSizeHasBothCommasOnTheirOwnCells)
{
    EntryList list;
    list.add("BIG", 1234567, 999);
    list.add("SMALL", 999, 1000);
    ColumnLayout layout = layoutOf(list);
    const ColumnEdges& e = layout.edges;

    std::vector<PlacedText> big = detailedRowTexts(*list.pointers()[0], e, " ");
    const size_t first = edge::SizeRight - 8;
    std::vector<PlacedText> size = textsBetween(big, e, first, edge::SizeRight);
    ASSERT_EQ(joined(size), "1,234,567");
    for (size_t k = 0; k < size.size(); ++k) {
        EXPECT_EQ(size[k].x, e[first + k]) << "character " << k;
        if (k > 0) {
            int32_t cellWidth = e[first + k] - e[first + k - 1];
            EXPECT_EQ(cellWidth, size[k].text == "," ? comma : digit) << "character " << k;
        }
    }

    // A shorter size in the same column ends at the same edge, digit under digit.
    std::vector<PlacedText> small = detailedRowTexts(*list.pointers()[1], e, " ");
    std::vector<PlacedText> smallSize = textsBetween(small, e, first, edge::SizeRight);
    ASSERT_EQ(joined(smallSize), "999");
    EXPECT_EQ(smallSize[0].x, e[edge::SizeRight - 2]);
    EXPECT_EQ(smallSize[2].x, e[edge::SizeRight]);
    std::vector<PlacedText> smallCompressed =
        textsBetween(small, e, edge::CompressedRight - 4, edge::CompressedRight);
    ASSERT_EQ(joined(smallCompressed), "1,000");
    EXPECT_EQ(smallCompressed[1].x, e[edge::CompressedRight - 3]);
    EXPECT_EQ(e[edge::CompressedRight - 3] - e[edge::CompressedRight - 4], comma);
}

TEST(ColumnLayout, SizesPastFourGibibytesKeepToTheirOwnCells)
{
    EntryList list;
    list.add("HUGE", UINT64_MAX, 5368709120u);
    ColumnLayout layout = layoutOf(list);
    const ColumnEdges& e = layout.edges;
    std::vector<PlacedText> texts = detailedRowTexts(*list.pointers()[0], e, " ");
    EXPECT_EQ(joined(textsBetween(texts, e, edge::TimeRight + 1, edge::SizeRight)),
              "18,446,744,073,709,551,615");
    EXPECT_EQ(joined(textsBetween(texts, e, edge::CompressedRight - 12, edge::CompressedRight)),
              "5,368,709,120");
}

TEST(RowCells, YearTwoThousandShowsDoubleZeroAndTheTimeKeepsItsCells)
{
    EntryList list;
    ZipEntry& entry = list.add("Y2K.TXT", 10, 5);
    entry.modDate = (2000 - 1980) * 512 + 1 * 32 + 2; // 01/02/00
    entry.modTime = 13 * 2048 + 45 * 32;              // 13:45
    ColumnLayout layout = layoutOf(list);
    const ColumnEdges& e = layout.edges;
    std::vector<PlacedText> texts = detailedRowTexts(entry, e, " ");

    std::vector<PlacedText> date = textsBetween(texts, e, edge::DateFirstCell, edge::DateRight);
    std::vector<PlacedText> time = textsBetween(texts, e, edge::TimeFirstCell, edge::TimeRight);
    EXPECT_EQ(joined(date), "01/02/00");
    EXPECT_EQ(joined(time), "13:45");
    for (size_t k = 0; k < date.size(); ++k)
        EXPECT_EQ(date[k].x, e[edge::DateFirstCell + k]);
    for (size_t k = 0; k < time.size(); ++k)
        EXPECT_EQ(time[k].x, e[edge::TimeFirstCell + k]);
    // The hour's first digit starts right of the year's last digit, after the gap.
    EXPECT_EQ(e[edge::TimeFirstCell] - digit, e[edge::DateRight] + g);
}

TEST(RowCells, LastColumnShowsDirectoryArrowAndComment)
{
    EntryList list;
    setComment(list.add("NOTE.TXT"), "about this");
    setComment(list.add("DIR/SUB/LETTER.DOC"), "hello");
    list.add("DIR/PLAIN.TXT");
    list.add("ROOT.TXT").comment = "not counted without its length";
    ColumnLayout layout = layoutOf(list);
    const ColumnEdges& e = layout.edges;

    const char* expected[] = {"->about this", "DIR/SUB->hello", "DIR", ""};
    for (size_t i = 0; i < 4; ++i) {
        PlacedText last = detailedRowTexts(*list.pointers()[i], e, " ").back();
        EXPECT_EQ(last, (PlacedText{e[edge::PathLeft], TextAlignment::Left, expected[i]}));
    }
}

TEST(RowCells, RowStartsWithMarkerAndFileNameAndEndsWithRatioAndAttributes)
{
    EntryList list;
    ZipEntry& entry = list.add("DIR/SUB/", 0, 0);
    entry.externalAttributes = 0x10 | 0x01;
    ZipEntry& packed = list.add("DATA.BIN", 1000, 250);
    ColumnLayout layout = layoutOf(list);
    const ColumnEdges& e = layout.edges;

    std::vector<PlacedText> texts = detailedRowTexts(entry, e, "*");
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0], (PlacedText{e[edge::NameLeft], TextAlignment::Right, "*"}));
    EXPECT_EQ(texts[1], (PlacedText{e[edge::NameLeft], TextAlignment::Left, ""}));
    EXPECT_EQ(joined(textsBetween(texts, e, edge::AttributeFirstCell, edge::AttributesRight)), "d--r");
    EXPECT_EQ(joined(textsBetween(texts, e, edge::RatioFirstCell, edge::RatioRight)), "0%");

    std::vector<PlacedText> packedTexts = detailedRowTexts(packed, e, " ");
    std::vector<PlacedText> ratio = textsBetween(packedTexts, e, edge::RatioFirstCell, edge::RatioRight);
    ASSERT_EQ(joined(ratio), "75%");
    EXPECT_EQ(ratio.front().x, e[edge::RatioFirstCell + 1]);
    EXPECT_EQ(ratio.back().x, e[edge::RatioRight]);
}

TEST(RowCells, NameOnlyRowShowsMarkerAndFullName)
{
    EntryList list;
    ZipEntry& entry = list.add("DIR/A.TXT");
    ColumnLayout layout = layoutOf(list);
    std::vector<PlacedText> texts = nameOnlyRowTexts(entry, layout.edges, "+");
    EXPECT_EQ(texts, (std::vector<PlacedText>{{7, TextAlignment::Right, "+"},
                                              {7, TextAlignment::Left, "DIR/A.TXT"}}));
}

TEST(RowCells, MarkerTellsCheckedOutAndOpenCopies)
{
    EXPECT_EQ(rowMarker(false, EntryOpenState::NotOpen), " ");
    EXPECT_EQ(rowMarker(false, EntryOpenState::OpenAsArchive), "*");
    EXPECT_EQ(rowMarker(false, EntryOpenState::OpenOther), "+");
    EXPECT_EQ(rowMarker(true, EntryOpenState::NotOpen), "-");
    EXPECT_EQ(rowMarker(true, EntryOpenState::OpenAsArchive), "-");
}

TEST(ColumnLayout, FilterDecidesWhichEntriesAreMeasured)
{
    EntryList list;
    list.add("README", 1234567);
    list.add("A.TXT", 5);
    ColumnLayout all = layoutColumns(shownEntries(list.entries(), "*.*"), FakeTextMeasurer());
    EXPECT_EQ(all.nameWidth, FakeTextMeasurer().textWidth("README"));
    EXPECT_EQ(all.sizeDigits, 7);
    ColumnLayout dotted = layoutColumns(shownEntries(list.entries(), "*.txt"), FakeTextMeasurer());
    EXPECT_EQ(dotted.nameWidth, FakeTextMeasurer().textWidth("A.TXT"));
    EXPECT_EQ(dotted.sizeDigits, 1);
}

TEST(HeaderTitles, CentresTitlesInTheGapAfterThePreviousColumn)
{
    ColumnLayout layout = layoutOf(EntryList());
    const ColumnEdges& e = layout.edges;
    std::array<PlacedText, 8> titles = headerTitlePlacements(e, g, -10);

    EXPECT_EQ(titles[0], (PlacedText{-10 + 7, TextAlignment::Left, "Name"}));
    // Date: the gap runs from 32 + 5 to 91, so its middle is 37 + 27.
    EXPECT_EQ(titles[1], (PlacedText{-10 + 64, TextAlignment::Centre, "Date"}));
    EXPECT_EQ(titles[2].x, -10 + e[9] + g + ((e[14] - e[9] - g) >> 1));
    const char* names[] = {"Name", "Date", "Time", "Size", "Comp.", "%", "Attr", "Path->Comment"};
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(titles[i].text, names[i]);
    EXPECT_EQ(titles[7], (PlacedText{-10 + e[edge::PathLeft], TextAlignment::Left, "Path->Comment"}));
}

TEST(HeaderTitles, NarrowGapHalvesTowardsMinusInfinity)
{
    ColumnEdges e{};
    e[edge::NameRight] = 10;
    e[edge::DateRight] = 12; // the gap starts at 15: three pixels short
    std::array<PlacedText, 8> titles = headerTitlePlacements(e, g, 0);
    EXPECT_EQ(titles[1].x, 15 - 2);
}

} // namespace
