#include "core/listing/ColumnLayout.h"

#include "core/listing/ColumnTitles.h"
#include "core/listing/EntryColumnTexts.h"
#include "core/text/NumberFormat.h"
#include "core/text/PathParts.h"
#include "core/zip/ZipEntry.h"

#include <algorithm>
#include <initializer_list>

namespace quarvo {

namespace {

int32_t widestOf(const TextMeasurer& measurer, std::initializer_list<std::string_view> texts)
{
    int32_t widest = 0;
    for (std::string_view text : texts)
        widest = std::max(widest, measurer.textWidth(text));
    return widest;
}

struct GroupedNumberCells {
    int32_t digits = 0;
    int32_t commas = 0;
};

GroupedNumberCells cellsOf(uint64_t largest)
{
    std::string text = formatThousands(largest);
    auto commas = static_cast<int32_t>(std::count(text.begin(), text.end(), ','));
    return {static_cast<int32_t>(text.size()) - commas, commas};
}

void measureCharacters(ColumnLayout& layout, const TextMeasurer& measurer)
{
    layout.averageCharacterWidth = measurer.averageCharacterWidth();
    layout.digitWidth = widestOf(measurer, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    layout.commaWidth = measurer.textWidth(",");
    layout.slashWidth = measurer.textWidth("/");
    layout.colonWidth = measurer.textWidth(":");
    layout.percentWidth = measurer.textWidth("%");
    layout.attributeWidth = widestOf(measurer, {"r", "h", "s", "d", "-"});
    layout.markerWidth = widestOf(measurer, {"-", " ", "+", "*"});
}

void measureEntries(ColumnLayout& layout, std::span<ZipEntry* const> entries, const TextMeasurer& measurer)
{
    uint64_t largestSize = 0;
    uint64_t largestCompressed = 0;
    for (const ZipEntry* entry : entries) {
        if (entry == nullptr)
            continue;
        layout.fullNameWidth = std::max(layout.fullNameWidth, measurer.textWidth(entry->name));
        layout.pathWidth = std::max(layout.pathWidth, measurer.textWidth(pathAndCommentText(*entry)));
        layout.nameWidth = std::max(layout.nameWidth, measurer.textWidth(fileNamePart(entry->name)));
        largestSize = std::max(largestSize, entry->uncompressedSize);
        largestCompressed = std::max(largestCompressed, entry->compressedSize);
    }
    GroupedNumberCells size = cellsOf(largestSize);
    layout.sizeDigits = size.digits;
    layout.sizeCommas = size.commas;
    GroupedNumberCells compressed = cellsOf(largestCompressed);
    layout.compressedDigits = compressed.digits;
    layout.compressedCommas = compressed.commas;
}

// Sets the right edges of a run of cells, right to left from the field's right edge, each cell
// as wide as the character that stands there.
void fillCellsLeftward(ColumnEdges& edges, size_t rightEdge, std::initializer_list<int32_t> widthsFromRight)
{
    size_t index = rightEdge;
    for (int32_t width : widthsFromRight) {
        edges[index - 1] = edges[index] - width;
        --index;
    }
}

// The cells of a number with thousands separators, from the right: three digits, a comma, three
// digits and so on; the leftmost cell's right edge is set, its left edge is the gap before it.
void fillGroupedNumberCells(ColumnEdges& edges, size_t rightEdge, int32_t cellCount,
                            const ColumnLayout& layout)
{
    for (int32_t i = 0; i + 1 < cellCount; ++i) {
        bool comma = i % 4 == 3;
        edges[rightEdge - i - 1] = edges[rightEdge - i] - (comma ? layout.commaWidth : layout.digitWidth);
    }
}

// The right edge of a column that follows the one ending at previous: wide enough for its content
// and for its title, after a gap of one average character width.
int32_t columnRight(const ColumnLayout& layout, int32_t previous, int32_t contentWidth,
                    std::string_view title, const TextMeasurer& measurer)
{
    int32_t start = previous + layout.averageCharacterWidth;
    return std::max(start + contentWidth, start + measurer.textWidth(title));
}

void computeEdges(ColumnLayout& layout, const TextMeasurer& measurer)
{
    namespace edge = columnEdge;
    ColumnEdges& e = layout.edges;
    const int32_t digit = layout.digitWidth;
    const int32_t g = layout.averageCharacterWidth;

    e[edge::NameLeft] = layout.markerWidth;
    e[edge::NameRight] =
        std::max(e[edge::NameLeft] + layout.nameWidth,
                 e[edge::NameLeft] + g + measurer.textWidth(columnTitles[columnTitle::Name]));

    e[edge::DateRight] = columnRight(layout, e[edge::NameRight], 6 * digit + 2 * layout.slashWidth,
                                     columnTitles[columnTitle::Date], measurer);
    fillCellsLeftward(e, edge::DateRight,
                      {digit, digit, layout.slashWidth, digit, digit, layout.slashWidth, digit});

    e[edge::TimeRight] = columnRight(layout, e[edge::DateRight], 4 * digit + layout.colonWidth,
                                     columnTitles[columnTitle::Time], measurer);
    fillCellsLeftward(e, edge::TimeRight, {digit, digit, layout.colonWidth, digit});

    e[edge::SizeRight] = columnRight(layout, e[edge::TimeRight],
                                     layout.sizeCommas * layout.commaWidth + layout.sizeDigits * digit,
                                     columnTitles[columnTitle::Size], measurer);
    fillGroupedNumberCells(e, edge::SizeRight, layout.sizeDigits + layout.sizeCommas, layout);

    e[edge::CompressedRight] =
        columnRight(layout, e[edge::SizeRight],
                    layout.compressedCommas * layout.commaWidth + layout.compressedDigits * digit,
                    columnTitles[columnTitle::Compressed], measurer);
    fillGroupedNumberCells(e, edge::CompressedRight, layout.compressedDigits + layout.compressedCommas,
                           layout);

    e[edge::RatioRight] = columnRight(layout, e[edge::CompressedRight], 3 * digit + layout.percentWidth,
                                      columnTitles[columnTitle::Ratio], measurer);
    fillCellsLeftward(e, edge::RatioRight, {layout.percentWidth, digit, digit});

    const int32_t attribute = layout.attributeWidth;
    e[edge::AttributesRight] = columnRight(layout, e[edge::RatioRight], 4 * attribute,
                                           columnTitles[columnTitle::Attributes], measurer);
    fillCellsLeftward(e, edge::AttributesRight, {attribute, attribute, attribute});

    e[edge::PathLeft] = e[edge::AttributesRight] + g;
    layout.totalWidth =
        e[edge::PathLeft] + g +
        std::max(layout.pathWidth, measurer.textWidth(columnTitles[columnTitle::PathAndComment]));
}

} // namespace

ColumnLayout layoutColumns(std::span<ZipEntry* const> shownEntries, const TextMeasurer& measurer)
{
    ColumnLayout layout;
    measureCharacters(layout, measurer);
    measureEntries(layout, shownEntries, measurer);
    computeEdges(layout, measurer);
    return layout;
}

int32_t nameOnlyColumnWidth(const ColumnLayout& layout)
{
    return layout.fullNameWidth + layout.edges[columnEdge::NameLeft] + layout.averageCharacterWidth;
}

} // namespace quarvo
