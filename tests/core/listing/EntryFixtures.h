#pragma once

#include "core/zip/ZipEntry.h"

#include <memory>
#include <string>
#include <vector>

namespace quarvo::testing {

// A document's entry list, built entry by entry in directory order.
class EntryList {
  public:
    ZipEntry& add(std::string name, uint64_t uncompressedSize = 0, uint64_t compressedSize = 0)
    {
        auto entry = std::make_unique<ZipEntry>();
        entry->index = static_cast<int32_t>(m_entries.size());
        entry->name = std::move(name);
        entry->nameLength = static_cast<uint16_t>(entry->name.size());
        entry->uncompressedSize = uncompressedSize;
        entry->compressedSize = compressedSize;
        m_entries.push_back(std::move(entry));
        return *m_entries.back();
    }

    const std::vector<std::unique_ptr<ZipEntry>>& entries() const { return m_entries; }

    // Pointers to every entry, in directory order.
    std::vector<ZipEntry*> pointers() const
    {
        std::vector<ZipEntry*> result;
        for (const auto& entry : m_entries)
            result.push_back(entry.get());
        return result;
    }

  private:
    std::vector<std::unique_ptr<ZipEntry>> m_entries;
};

inline void setComment(ZipEntry& entry, std::string comment)
{
    entry.comment = std::move(comment);
    entry.commentLength = static_cast<uint16_t>(entry.comment.size());
}

// The stored names of entries, in their order.
inline std::vector<std::string> namesOf(const std::vector<ZipEntry*>& entries)
{
    std::vector<std::string> names;
    for (const ZipEntry* entry : entries)
        names.push_back(entry ? entry->name : "(null)");
    return names;
}

} // namespace quarvo::testing
