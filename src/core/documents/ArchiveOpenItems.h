#pragma once

#include <memory>
#include <string>
#include <vector>

namespace quarvo {

class Document;
class OpenItemList;
struct ZipEntry;

// One archive document's part of the process-wide open-item list: the copies of its entries that
// are viewed, run or opened as windows, and whether the archive is itself such a copy, open as a
// nested window of another archive.
class ArchiveOpenItems {
  public:
    using EntryList = std::vector<std::unique_ptr<ZipEntry>>;

    ArchiveOpenItems(OpenItemList& list, const Document& document) : m_list(list), m_document(document) {}

    // Notes, as the archive at path opens, whether it is the copy of another archive's entry.
    void noteOpening(const std::string& path);
    bool isNested() const { return m_nested; }
    // How many items the document owns.
    int count() const;

    // Whether closing this nested archive offers its copy back to its parent; the parent turns it
    // off when it closes the nested window itself.
    bool updateParentOnClose() const { return m_updateParentOnClose; }
    void setUpdateParentOnClose(bool update) { m_updateParentOnClose = update; }

    // Removes the items of the entries' copies, then the entries (a list may hold empty places).
    void dropEntries(EntryList& entries);
    // The first step of closing: a nested archive's copy is checked against its parent's entry,
    // which may offer it back, unless the parent is closing this window itself.
    void offerCopyToParent(const std::string& path);
    // The last step of closing: every item the document still owns goes.
    void removeAll();

  private:
    OpenItemList& m_list;
    const Document& m_document;
    bool m_nested = false;
    bool m_updateParentOnClose = true;
};

} // namespace quarvo
