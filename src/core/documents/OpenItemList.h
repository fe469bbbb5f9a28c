#pragma once

#include "core/documents/OpenItem.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace quarvo {

// The process-wide list of open items, in the order they were added. It keeps each archive
// document's modified flag in step with the number of items it owns, so closing an archive with
// viewed entries is asked about first. Owned by the application; documents hold a reference.
class OpenItemList {
  public:
    // A new item for document (and the listing it came from), at the end of the list; the document
    // becomes modified. The reference stays valid until the item is removed.
    OpenItem& add(Document& document, View* view);
    // Removes the item; the document is no longer modified once it owns none. The release handler,
    // when set, then cleans up after it (its copy, its window) before it is destroyed. Unknown items
    // are ignored.
    void remove(const OpenItem* item);

    // The item whose copy is at path (exact comparison: disk paths keep their case); null if none.
    OpenItem* findByFullPath(std::string_view path) const;
    // The first item of that entry name, ignoring case; null if none. Items without a name never
    // match.
    OpenItem* findByName(std::string_view name) const;

    // The item whose launched process has this id; null if none (the item went meanwhile).
    OpenItem* findByProcessId(int64_t processId) const;

    // How many items the document owns, and which.
    int countFor(const Document& document) const;
    std::vector<OpenItem*> itemsOf(const Document& document) const;
    size_t size() const { return m_items.size(); }

    // The changed-file check of viewed entries, run on an item whose zip-in-zip window is being
    // closed. Set by whoever implements viewing; without one such an item simply stays.
    void setAdvanceHandler(std::function<void(OpenItem&)> handler) { m_advance = std::move(handler); }
    void advance(OpenItem& item);
    // The window open on the copy at path is closing: its item, if there is one, is marked so and
    // advanced, which checks the copy against its entry in the parent archive.
    void copyWindowClosing(std::string_view path);

    // The launcher reports that a watched process ended: its item, if it still exists, forgets the
    // process and advances (the changed-file check). An unknown process is ignored.
    void processEnded(int64_t processId);

    // What removing an item leaves to clean up: its private directory, the window of its copy. The
    // item is already out of the list when the handler runs, so the handler may add and remove items.
    void setReleaseHandler(std::function<void(OpenItem&)> handler) { m_release = std::move(handler); }

  private:
    void updateModified(Document& document) const;

    std::vector<std::unique_ptr<OpenItem>> m_items;
    std::function<void(OpenItem&)> m_advance;
    std::function<void(OpenItem&)> m_release;
};

} // namespace quarvo
