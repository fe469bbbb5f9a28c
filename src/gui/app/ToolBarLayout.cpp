#include "gui/app/ToolBarLayout.h"

#include "core/app/CommandIds.h"

#include <array>

namespace quarvo::gui {

namespace {

using namespace CommandId;
constexpr int gap = 0;

constexpr std::array<int, 27> layout{
    NewZip,         Open,       Save,         gap,
    AddFiles,       Extract,    ViewFile,     RunFile,
    CheckOut,       gap,        Print,        gap,
    SortByName,     SortByPath, SortByExtension, SortByDate,
    SortByUncompressedSize, SortByCompressedSize, SortByRatio, SortByOrder,
    gap,            ShowNameOnly, ShowAllDetails, gap,
    SearchZipFiles, gap,        ContextHelp,
};

} // namespace

std::span<const int> toolBarLayout()
{
    return layout;
}

} // namespace quarvo::gui
