#include "core/listing/SelectionSummary.h"

#include "core/zip/ZipEntry.h"

namespace quarvo {

namespace {

void add(SelectionSummary& summary, const ZipEntry& entry)
{
    ++summary.count;
    summary.bytes += entry.uncompressedSize;
}

} // namespace

SelectionSummary recountSelection(std::span<ZipEntry* const> rows,
                                  const std::function<bool(size_t row)>& isRowSelected)
{
    SelectionSummary summary;
    for (size_t row = 0; row < rows.size(); ++row) {
        ZipEntry* entry = rows[row];
        if (entry == nullptr)
            continue;
        entry->selected = isRowSelected(row);
        if (entry->selected)
            add(summary, *entry);
    }
    return summary;
}

SelectionSummary countSelection(std::span<ZipEntry* const> rows)
{
    SelectionSummary summary;
    for (const ZipEntry* entry : rows) {
        if (entry != nullptr && entry->selected)
            add(summary, *entry);
    }
    return summary;
}

bool headerClickSelectsAll(size_t rowCount, size_t selectedRowCount)
{
    return rowCount != selectedRowCount;
}

} // namespace quarvo
