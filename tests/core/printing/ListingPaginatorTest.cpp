#include "core/printing/ListingPaginator.h"

#include "core/listing/EntryFixtures.h"

#include "MonospaceMeasurer.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace quarvo;
using quarvo::testing::EntryList;
using quarvo::testing::MonospaceMeasurer;

namespace {

// A page 80 characters wide and 10 lines high: the first page has the name and a gap (two lines),
// rows go on while more than three lines are left, so a page of rows takes 7 and the first 5.
constexpr int32_t lineHeight = 10;
constexpr PrintArea tenLines{0, 0, 400, 100, lineHeight};

// More pages than any case here needs: a layout that keeps asking for pages fails instead of
// hanging the test.
constexpr size_t pageLimit = 1000;

std::vector<PrintedPage> layOut(const ListingPrintout& printout, const PrintArea& area = tenLines)
{
    MonospaceMeasurer measurer;
    ListingPaginator paginator(printout, area, measurer);
    std::vector<PrintedPage> pages;
    while (paginator.hasNextPage() && pages.size() < pageLimit)
        pages.push_back(paginator.nextPage());
    EXPECT_FALSE(paginator.hasNextPage()) << "the printout did not end";
    return pages;
}

ListingPrintout printout(PrintedListingKind kind, const EntryList& entries, std::string comment = {})
{
    ListingPrintout result{kind, "/home/user/archives/LISTING.ZIP", std::move(comment), {}};
    for (const auto& entry : entries.entries())
        result.rows.push_back(entry.get());
    return result;
}

EntryList numberedEntries(int count)
{
    EntryList entries;
    for (int i = 0; i < count; ++i)
        entries.add("R" + std::to_string(100 + i) + ".TXT");
    return entries;
}

// The texts that start at the area's left edge, page by page in order: file names and comment
// lines (the name heading and the page numbers are centred).
std::vector<std::string> leftColumn(const std::vector<PrintedPage>& pages)
{
    std::vector<std::string> texts;
    for (const PrintedPage& page : pages)
        for (const PageText& text : page.texts)
            if (text.placed.x == 0)
                texts.push_back(text.placed.text);
    return texts;
}

std::vector<std::string> namesOf(const EntryList& entries)
{
    std::vector<std::string> names;
    for (const auto& entry : entries.entries())
        names.push_back(entry->name);
    return names;
}

// The page number printed on a page, or nothing.
std::optional<PageText> pageNumberOf(const PrintedPage& page)
{
    auto found = std::find_if(page.texts.begin(), page.texts.end(),
                              [](const PageText& text) { return text.placed.text.starts_with("Page "); });
    return found == page.texts.end() ? std::nullopt : std::optional<PageText>(*found);
}

PageText at(int32_t y, int32_t x, std::string text)
{
    return {y, {x, TextAlignment::Left, std::move(text)}};
}

// An empty listing still prints its first page: the archive's name centred ((400 - 11 * 5) / 2),
// for ZIP the comment two lines down, and no page number.
TEST(ListingPaginator, AnEmptyListingPrintsTheNameAndNoPageNumber)
{
    EntryList none;
    std::vector<PrintedPage> zip = layOut(printout(PrintedListingKind::Zip, none, "Made for the tests"));
    ASSERT_EQ(zip.size(), 1u);
    EXPECT_EQ(zip[0].number, 1u);
    EXPECT_EQ(zip[0].texts, (std::vector{at(0, 172, "LISTING.ZIP"), at(20, 0, "Made for the tests")}));

    // TAR archives have no comment to print.
    std::vector<PrintedPage> tar = layOut(printout(PrintedListingKind::Tar, none, "ignored"));
    ASSERT_EQ(tar.size(), 1u);
    EXPECT_EQ(tar[0].texts, std::vector{at(0, 172, "LISTING.ZIP")});
}

// 12 rows fill exactly two pages (5 + 7): "Page 1" sits centred in the strip below the last row
// (rows at 20..60, strip 70..100), and the last page has no number. A 13th row makes a third page.
TEST(ListingPaginator, EveryPageButTheLastCarriesItsNumber)
{
    EntryList twelve = numberedEntries(12);
    std::vector<PrintedPage> pages = layOut(printout(PrintedListingKind::Tar, twelve));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pageNumberOf(pages[0]), at(80, 185, "Page 1"));
    EXPECT_EQ(pageNumberOf(pages[1]), std::nullopt);
    EXPECT_EQ(pages[0].texts.back(), at(80, 185, "Page 1"));
    EXPECT_EQ(pages[1].texts.front(), at(0, 0, "R105.TXT"));
    EXPECT_EQ(pages[1].texts.back().y, 60);
    EXPECT_EQ(leftColumn(pages), namesOf(twelve));

    EntryList thirteen = numberedEntries(13);
    pages = layOut(printout(PrintedListingKind::Tar, thirteen));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pageNumberOf(pages[1]), at(80, 185, "Page 2"));
    EXPECT_EQ(pageNumberOf(pages[2]), std::nullopt);
    EXPECT_EQ(leftColumn(pages), namesOf(thirteen));
}

// LONGFILENAME.TXT is 16 characters: in the ZIP listing its other columns go one line down and the
// next row follows below them; the TAR listing keeps the row on one line.
TEST(ListingPaginator, ALongZipNameTakesTwoLinesAndTheNextRowFollows)
{
    EntryList entries;
    entries.add("LONGFILENAME.TXT", 100, 50);
    entries.add("B.TXT", 7, 7);

    struct Case {
        PrintedListingKind kind;
        int32_t longRowColumnsTop;
        int32_t nextRowTop;
    };
    // ZIP rows start after the name, its gap, the comment line and its gap.
    for (Case c : {Case{PrintedListingKind::Zip, 50, 60}, Case{PrintedListingKind::Tar, 20, 30}}) {
        std::vector<PrintedPage> pages = layOut(printout(c.kind, entries, "comment"));
        ASSERT_EQ(pages.size(), 1u);
        const std::vector<PageText>& texts = pages[0].texts;
        auto named = [&](const std::string& text) {
            return *std::find_if(texts.begin(), texts.end(), [&](const PageText& t) { return t.placed.text == text; });
        };
        EXPECT_EQ(named("LONGFILENAME.TXT").y, c.nextRowTop - lineHeight * (c.kind == PrintedListingKind::Zip ? 2 : 1));
        EXPECT_EQ(named("100").y, c.longRowColumnsTop);
        EXPECT_EQ(named("B.TXT").y, c.nextRowTop);
        EXPECT_EQ(named("7").y, c.nextRowTop);
    }
}

// A heading and comment longer than a page used to start every page over with the heading, so the
// job never ended. The heading is printed once; the comment goes on page after page, each line
// once and in order, every page but the last numbered; the rows follow once it is done.
TEST(ListingPaginator, ACommentLongerThanAPageContinuesAndTheJobEnds)
{
    std::string comment;
    std::vector<std::string> commentLines;
    for (int i = 1; i <= 25; ++i) {
        commentLines.push_back("line " + std::to_string(i));
        comment += commentLines.back() + "\r\n";
    }
    EntryList rows = numberedEntries(3);
    std::vector<PrintedPage> pages = layOut(printout(PrintedListingKind::Zip, rows, comment));

    // Page 1: 5 lines below the heading; pages 2 and 3: 7 lines; page 4: the last 6 and the gap,
    // which leaves no room for a row; page 5: the rows.
    ASSERT_EQ(pages.size(), 5u);
    std::vector<std::string> expected = commentLines;
    expected.insert(expected.end(), {"R100.TXT", "R101.TXT", "R102.TXT"});
    EXPECT_EQ(leftColumn(pages), expected);
    for (size_t i = 0; i < pages.size(); ++i) {
        bool hasHeading = std::any_of(pages[i].texts.begin(), pages[i].texts.end(),
                                      [](const PageText& text) { return text.placed.text == "LISTING.ZIP"; });
        EXPECT_EQ(hasHeading, i == 0) << "page " << i + 1;
        std::optional<PageText> number = pageNumberOf(pages[i]);
        EXPECT_EQ(number ? number->placed.text : "", i + 1 < pages.size() ? "Page " + std::to_string(i + 1) : "");
    }
    EXPECT_EQ(pages[1].texts.front(), at(0, 0, "line 6"));
    EXPECT_EQ(pages[4].texts.front(), at(0, 0, "R100.TXT"));
}

// A page too short even for the bottom strip still takes one line of comment or one row, so the
// job ends after one page for the heading and one for each comment line and each row.
TEST(ListingPaginator, APageShorterThanTheStripStillMakesProgress)
{
    EntryList rows;
    rows.add("LONGFILENAME.TXT");
    rows.add("B.TXT");
    PrintArea tiny{0, 0, 400, 25, lineHeight};
    std::vector<PrintedPage> pages = layOut(printout(PrintedListingKind::Zip, rows, "one\ntwo\nthree"), tiny);
    ASSERT_EQ(pages.size(), 1u + 3u + 2u);
    EXPECT_EQ(leftColumn(pages), (std::vector<std::string>{"one", "two", "three", "LONGFILENAME.TXT", "B.TXT"}));
}

// The rows come out in the order the listing hands them over, whatever the directory order, and
// whether they are selected or not.
TEST(ListingPaginator, RowsArePrintedInTheGivenOrder)
{
    EntryList entries = numberedEntries(6);
    entries.entries()[1]->selected = true;
    entries.entries()[4]->selected = true;
    ListingPrintout shown = printout(PrintedListingKind::Tar, entries);
    shown.rows = {entries.entries()[4].get(), entries.entries()[0].get(), entries.entries()[5].get(),
                  entries.entries()[2].get()};
    EXPECT_EQ(leftColumn(layOut(shown)), (std::vector<std::string>{"R104.TXT", "R100.TXT", "R105.TXT", "R102.TXT"}));
}

} // namespace
