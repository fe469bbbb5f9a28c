#include "core/listing/SelectionList.h"

#include "core/zip/ZipEntry.h"

#include <string_view>

namespace quarvo {

namespace {

enum class Quoting { Always, WhenBlank };

bool hasBlank(std::string_view name)
{
    return name.find_first_of(" \t") != std::string_view::npos;
}

SelectionList build(std::span<ZipEntry* const> selectedEntries, Quoting quoting)
{
    SelectionList list;
    for (const ZipEntry* entry : selectedEntries) {
        if (entry == nullptr)
            continue;
        const std::string& name = entry->name;
        if (name.find('"') != std::string::npos)
            return {-1, {}};
        if (list.count != 0)
            list.text += ' ';
        if (quoting == Quoting::Always || hasBlank(name))
            list.text += '"' + name + '"';
        else
            list.text += name;
        ++list.count;
    }
    return list;
}

} // namespace

SelectionList buildSelectionList(std::span<ZipEntry* const> selectedEntries)
{
    return build(selectedEntries, Quoting::Always);
}

SelectionList buildTarSelectionList(std::span<ZipEntry* const> selectedEntries)
{
    return build(selectedEntries, Quoting::WhenBlank);
}

} // namespace quarvo
