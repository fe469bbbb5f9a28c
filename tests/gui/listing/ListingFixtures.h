#pragma once

#include "core/framework/Document.h"
#include "core/zip/ZipEntry.h"
#include "gui/listing/ListingSource.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quarvo::testing {

// A document that is only there to carry views.
class ViewCarrier : public Document {
public:
    bool onOpenDocument(const std::string&) override { return true; }
};

// An archive as a listing sees it: entries in directory order, totals, the checked-out flag and
// the open state of each entry, over a document that relays the views' updates.
class FakeArchive : public gui::ListingSource {
public:
    ZipEntry& add(std::string name, uint64_t uncompressedSize = 0, uint64_t compressedSize = 0)
    {
        auto entry = std::make_unique<ZipEntry>();
        entry->index = int32_t(m_entries.size());
        entry->name = std::move(name);
        entry->nameLength = uint16_t(entry->name.size());
        entry->uncompressedSize = uncompressedSize;
        entry->compressedSize = compressedSize;
        m_entries.push_back(std::move(entry));
        ++m_totalCount;
        m_totalBytes += uncompressedSize;
        return *m_entries.back();
    }

    // A re-read: the entries are replaced by copies (new addresses), selection kept by name, and
    // the views are told. The last dropLast entries have gone from the archive meanwhile.
    void reread(size_t dropLast = 0)
    {
        std::vector<std::unique_ptr<ZipEntry>> copies;
        for (size_t i = 0; i + dropLast < m_entries.size(); ++i)
            copies.push_back(std::make_unique<ZipEntry>(*m_entries[i]));
        m_entries = std::move(copies);
        m_document.updateAllViews(nullptr, 0);
    }

    const std::vector<std::unique_ptr<ZipEntry>>& entries() const override { return m_entries; }
    uint64_t totalEntryCount() const override { return m_totalCount; }
    uint64_t totalUncompressedBytes() const override { return m_totalBytes; }
    bool isCheckedOut() const override { return checkedOut; }
    EntryOpenState openState(const ZipEntry& entry) const override
    {
        auto found = openStates.find(entry.name);
        return found == openStates.end() ? EntryOpenState::NotOpen : found->second;
    }
    Document& document() override { return m_document; }

    ZipEntry& entry(size_t index) { return *m_entries[index]; }

    bool checkedOut = false;
    std::map<std::string, EntryOpenState> openStates;

private:
    ViewCarrier m_document;
    std::vector<std::unique_ptr<ZipEntry>> m_entries;
    uint64_t m_totalCount = 0;
    uint64_t m_totalBytes = 0;
};

// MS-DOS packed date and time.
constexpr uint16_t dosDate(int year, int month, int day)
{
    return uint16_t((year - 1980) << 9 | month << 5 | day);
}
constexpr uint16_t dosTime(int hour, int minute)
{
    return uint16_t(hour << 11 | minute << 5);
}

} // namespace quarvo::testing
