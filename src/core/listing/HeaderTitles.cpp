#include "core/listing/HeaderTitles.h"

#include "core/listing/ColumnTitles.h"

namespace quarvo {

std::array<PlacedText, 8> headerTitlePlacements(const ColumnEdges& edges, int32_t averageCharacterWidth,
                                                int32_t rowLeft)
{
    namespace edge = columnEdge;
    auto centred = [&](size_t title, size_t previousRight, size_t right) {
        int32_t gapStart = edges[previousRight] + averageCharacterWidth;
        // An arithmetic halving: a gap narrower than the average character (negative) rounds down.
        int32_t x = rowLeft + gapStart + ((edges[right] - gapStart) >> 1);
        return PlacedText{x, TextAlignment::Centre, std::string(columnTitles[title])};
    };
    return {{
        {rowLeft + edges[edge::NameLeft], TextAlignment::Left, std::string(columnTitles[columnTitle::Name])},
        centred(columnTitle::Date, edge::NameRight, edge::DateRight),
        centred(columnTitle::Time, edge::DateRight, edge::TimeRight),
        centred(columnTitle::Size, edge::TimeRight, edge::SizeRight),
        centred(columnTitle::Compressed, edge::SizeRight, edge::CompressedRight),
        centred(columnTitle::Ratio, edge::CompressedRight, edge::RatioRight),
        centred(columnTitle::Attributes, edge::RatioRight, edge::AttributesRight),
        {rowLeft + edges[edge::PathLeft], TextAlignment::Left,
         std::string(columnTitles[columnTitle::PathAndComment])},
    }};
}

} // namespace quarvo
