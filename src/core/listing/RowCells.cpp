#include "core/listing/RowCells.h"

#include "core/listing/EntryColumnTexts.h"
#include "core/text/DosDateTime.h"
#include "core/text/NumberFormat.h"
#include "core/text/PathParts.h"
#include "core/zip/ZipEntry.h"

namespace quarvo {

namespace {

// One character per cell, each ending at its cell's right edge, the last at lastEdge.
void placeCharacters(std::vector<PlacedText>& texts, const ColumnEdges& edges, size_t lastEdge,
                     std::string_view characters)
{
    size_t first = lastEdge + 1 - characters.size();
    for (size_t k = 0; k < characters.size(); ++k)
        texts.push_back({edges[first + k], TextAlignment::Right, std::string(1, characters[k])});
}

void placeMarker(std::vector<PlacedText>& texts, const ColumnEdges& edges, std::string_view marker)
{
    texts.push_back({edges[columnEdge::NameLeft], TextAlignment::Right, std::string(marker)});
}

} // namespace

std::string_view rowMarker(bool documentCheckedOut, EntryOpenState openState)
{
    if (documentCheckedOut)
        return "-";
    switch (openState) {
    case EntryOpenState::NotOpen:
        return " ";
    case EntryOpenState::OpenAsArchive:
        return "*";
    case EntryOpenState::OpenOther:
        break;
    }
    return "+";
}

std::vector<PlacedText> detailedRowTexts(const ZipEntry& entry, const ColumnEdges& edges,
                                         std::string_view marker)
{
    namespace edge = columnEdge;
    std::vector<PlacedText> texts;
    texts.reserve(48);
    placeMarker(texts, edges, marker);
    texts.push_back({edges[edge::NameLeft], TextAlignment::Left, std::string(fileNamePart(entry.name))});
    placeCharacters(texts, edges, edge::DateRight, formatDosDate(entry.modDate));
    placeCharacters(texts, edges, edge::TimeRight, formatDosTime(entry.modTime));
    placeCharacters(texts, edges, edge::SizeRight, formatThousands(entry.uncompressedSize));
    placeCharacters(texts, edges, edge::CompressedRight, formatThousands(entry.compressedSize));
    placeCharacters(texts, edges, edge::RatioRight, ratioText(entry));
    placeCharacters(texts, edges, edge::AttributesRight, attributeLetters(entry));
    texts.push_back({edges[edge::PathLeft], TextAlignment::Left, pathAndCommentText(entry)});
    return texts;
}

std::vector<PlacedText> nameOnlyRowTexts(const ZipEntry& entry, const ColumnEdges& edges,
                                         std::string_view marker)
{
    std::vector<PlacedText> texts;
    placeMarker(texts, edges, marker);
    texts.push_back({edges[columnEdge::NameLeft], TextAlignment::Left, entry.name});
    return texts;
}

} // namespace quarvo
