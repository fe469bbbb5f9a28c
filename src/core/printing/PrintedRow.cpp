#include "core/printing/PrintedRow.h"

#include "core/listing/ColumnLayout.h"
#include "core/listing/EntryColumnTexts.h"
#include "core/printing/PrintColumns.h"
#include "core/text/DosDateTime.h"
#include "core/text/NumberFormat.h"
#include "core/text/PathParts.h"
#include "core/text/Utf8Characters.h"
#include "core/zip/ZipEntry.h"

namespace quarvo {

namespace {

// Places the texts of one line of a row, resolving each column's alignment with the printer
// font's widths.
class RowLine {
public:
    RowLine(std::vector<PageText>& texts, const PrintArea& area, int32_t y, const TextMeasurer& measurer)
        : m_texts(texts), m_area(area), m_y(y), m_measurer(measurer),
          m_averageWidth(measurer.averageCharacterWidth())
    {
    }

    void startingAt(int32_t column, std::string text)
    {
        place(m_area.left + column * m_averageWidth, std::move(text));
    }

    void endingAt(int32_t column, std::string text)
    {
        int32_t width = m_measurer.textWidth(text);
        place(m_area.left + column * m_averageWidth - width, std::move(text));
    }

private:
    void place(int32_t x, std::string text)
    {
        m_texts.push_back({m_y, {x, TextAlignment::Left, std::move(text)}});
    }

    std::vector<PageText>& m_texts;
    const PrintArea& m_area;
    int32_t m_y;
    const TextMeasurer& m_measurer;
    int32_t m_averageWidth;
};

} // namespace

int32_t printedRowLineCount(const ZipEntry& entry, PrintedListingKind kind)
{
    bool longName = utf8CharacterCount(fileNamePart(entry.name)) > printColumn::LongNameCharacters;
    return kind == PrintedListingKind::Zip && longName ? 2 : 1;
}

std::vector<PageText> printedRowTexts(const ZipEntry& entry, PrintedListingKind kind, const PrintArea& area,
                                      int32_t y, const TextMeasurer& measurer)
{
    namespace column = printColumn;
    std::vector<PageText> texts;
    texts.reserve(8);
    RowLine(texts, area, y, measurer).startingAt(column::NameStart, std::string(fileNamePart(entry.name)));

    int32_t columnsTop = y + (printedRowLineCount(entry, kind) - 1) * area.lineHeight;
    RowLine line(texts, area, columnsTop, measurer);
    line.endingAt(column::DateEnd, formatDosDate(entry.modDate));
    line.endingAt(column::TimeEnd, formatDosTime(entry.modTime));
    line.endingAt(column::SizeEnd, formatThousands(entry.uncompressedSize));
    line.endingAt(column::CompressedEnd, formatThousands(entry.compressedSize));
    line.endingAt(column::RatioEnd, ratioText(entry));
    line.endingAt(column::AttributesEnd, attributeLetters(entry));
    line.startingAt(column::PathStart, pathAndCommentText(entry));
    return texts;
}

} // namespace quarvo
