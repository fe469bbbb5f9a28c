#include "core/printing/PrintedRow.h"

#include "core/listing/EntryFixtures.h"

#include "MonospaceMeasurer.h"

#include <gtest/gtest.h>

using namespace quarvo;
using quarvo::testing::EntryList;
using quarvo::testing::MonospaceMeasurer;

namespace {

constexpr int32_t lineHeight = 10;
constexpr PrintArea area{100, 50, 600, 800, lineHeight};

// 1995-03-07 13:45 in MS-DOS form.
constexpr uint16_t march7th1995 = (15 << 9) | (3 << 5) | 7;
constexpr uint16_t quarterToTwo = (13 << 11) | (45 << 5);

PageText at(int32_t y, int32_t x, std::string text)
{
    return {y, {x, TextAlignment::Left, std::move(text)}};
}

// Every column of a row stands where the fixed layout puts it, in average character widths (5)
// from the area's left edge (100): the name from 0, the figures ending at 21, 27, 36, 45, 50 and 55
// (placed by their measured widths), the path and comment from 56.
TEST(PrintedRow, EveryColumnStandsAtItsFixedPosition)
{
    EntryList list;
    ZipEntry& entry = list.add("DIR/SUB/A.TXT", 1234567, 234567);
    entry.modDate = march7th1995;
    entry.modTime = quarterToTwo;
    entry.externalAttributes = 0x01;
    quarvo::testing::setComment(entry, "note");

    const std::vector<PageText> expected = {
        at(70, 100, "A.TXT"),
        at(70, 100 + 105 - 40, "03/07/95"),
        at(70, 100 + 135 - 25, "13:45"),
        at(70, 100 + 180 - 45, "1,234,567"),
        at(70, 100 + 225 - 35, "234,567"),
        at(70, 100 + 250 - 15, "82%"),
        at(70, 100 + 275 - 20, "---r"),
        at(70, 100 + 280, "DIR/SUB->note"),
    };
    for (PrintedListingKind kind : {PrintedListingKind::Zip, PrintedListingKind::Tar})
        EXPECT_EQ(printedRowTexts(entry, kind, area, 70, MonospaceMeasurer()), expected);
}

struct LongNameCase {
    const char* name;
    PrintedListingKind kind;
    int32_t lines;
};

// Only a ZIP row breaks, and only for a file-name part of more than twelve characters.
TEST(PrintedRow, ALongZipFileNameTakesALineOfItsOwn)
{
    const LongNameCase cases[] = {
        {"LONGFILENAME.TXT", PrintedListingKind::Zip, 2},
        {"LONGFILENAME.TXT", PrintedListingKind::Tar, 1},
        {"TWELVE.CHARS", PrintedListingKind::Zip, 1},
        {"THIRTEEN.CHAR", PrintedListingKind::Zip, 2},
        {"DIR/ABCDEFGHIJKL.M", PrintedListingKind::Zip, 2},
        {"AVERYLONGDIRECTORY/A.TXT", PrintedListingKind::Zip, 1},
        // Twelve characters in 24 bytes.
        {"dir/\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xC3\xA9\xC3\xA8\xC3\xAA\xC3\xAB\xC3\xAF",
         PrintedListingKind::Zip, 1},
    };
    for (const LongNameCase& c : cases) {
        SCOPED_TRACE(c.name);
        EntryList list;
        ZipEntry& entry = list.add(c.name);
        ASSERT_EQ(printedRowLineCount(entry, c.kind), c.lines);

        std::vector<PageText> texts = printedRowTexts(entry, c.kind, area, 70, MonospaceMeasurer());
        ASSERT_EQ(texts.size(), 8u);
        EXPECT_EQ(texts.front().y, 70); // the name
        for (size_t i = 1; i < texts.size(); ++i)
            EXPECT_EQ(texts[i].y, 70 + (c.lines - 1) * lineHeight) << texts[i].placed.text;
    }
}

} // namespace
