#pragma once

#include "core/documents/ArchiveDocument.h"
#include "core/documents/ArchiveOpenItems.h"
#include "core/documents/CheckOutState.h"
#include "core/documents/ZipDocumentServices.h"
#include "core/framework/Document.h"
#include "core/ui/MessageBoxRequest.h"
#include "core/zip/ZipDirectoryReader.h"

#include <optional>
#include <string>
#include <vector>

namespace quarvo {

// One open ZIP archive: its entries and archive record, the new and open steps, re-reading when the
// file changed, deleting the archive, its information, the guard of commands that cannot work on an
// archive spanning disks, and the question before a close would lose work. The archive file on disk
// is the document: it is never held open between operations, and every change is made by an engine
// and followed by a re-read.
//
// Closing goes through the document manager, which destroys the document. The operations that may
// close it say so in their result; after such a result the caller must not touch the document.
class ZipDocument : public Document, public ArchiveDocument {
  public:
    explicit ZipDocument(ZipDocumentServices services);
    ~ZipDocument() override;

    // Asks for the name of a new archive and creates it empty (22 bytes). A ".exe" name becomes
    // ".zip" after telling the user; a document open on the same path is closed and an existing file
    // deleted. False when the user cancelled or the file could not be replaced or made (the user has
    // been told why).
    bool onNewDocument() override;
    // Reads the archive at path and, once it is read, puts it first in the recent files. A path that
    // is the copy of an entry of another archive opens as a nested ("zip in zip") archive and stays
    // out of the recent files. False after "Error loading ZIP File: PATH" and a line saying why,
    // when the directory cannot be read; the recent files are then left as they were.
    bool onOpenDocument(const std::string& path) override;
    // Offers a nested archive's copy back to its parent, then drops the entries and every open item
    // of this document.
    void onCloseDocument() override;
    // The close question (when entries are viewed) and the check-out question; returns the answer of
    // the first, DialogResult::Yes when it was not asked.
    int confirmClose(bool closeAllMode) override;
    bool isNested() const override { return m_openItems.isNested(); }
    bool isArchive() const override { return true; }

    // Re-reads the directory and tells the views. Returns false when the read failed: the user was
    // told and the document is closed.
    [[nodiscard]] bool reload() override;
    // Re-reads when the file's change time, modification time or size differ from the last read;
    // never for an archive spanning disks. Returns false when the file is gone or the re-read failed:
    // the document is closed.
    [[nodiscard]] bool checkFileChanged();
    // Deletes the archive file after asking, and closes the document whether the deletion worked or
    // not. Returns true when the document was closed.
    [[nodiscard]] bool deleteArchive() override;
    // Shows the "ZIP File Info" dialog.
    void showInfo() override;

    // The guard asked before a command that writes, converts, deletes, extracts or views. Refuses
    // (with a message) writing to an archive that spans disks and reminds of the last disk before
    // reading one; refuses every unknown command silently.
    bool canRunCommand(int commandId) override;
    // Whether a command this document handles is enabled now; nothing for commands it does not handle.
    std::optional<bool> isCommandEnabled(int commandId) const override;

    const ZipArchiveRecord& archive() const { return m_reader.archive(); }
    ZipArchiveRecord& archive() { return m_reader.archive(); }
    const ZipEntryList& entries() const { return m_reader.entries(); }
    ZipEntryList& entries() override { return m_reader.entries(); }

    bool isZipInZip() const override { return m_openItems.isNested(); }
    // The viewed, run or opened entries of this archive.
    int openItemCount() const { return m_openItems.count(); }
    bool isCheckedOut() const override { return m_checkOut.isCheckedOut(); }
    const std::string& checkoutDirectory() const override { return m_checkOut.directory(); }
    // Records a completed check-out to directory (kept exactly: disk paths keep their case). Without
    // a record of what it created, deleting the checked-out files later takes every entry's file and
    // the directories that became empty; with one (CheckOutRecord::created), exactly those paths.
    void setCheckedOut(std::string directory) { m_checkOut.record(std::move(directory)); }
    void setCheckedOut(std::string directory, std::vector<std::string> createdPaths) override
    {
        m_checkOut.record(std::move(directory), std::move(createdPaths));
    }
    bool updateParentOnClose() const { return m_openItems.updateParentOnClose(); }
    void setUpdateParentOnClose(bool update) override { m_openItems.setUpdateParentOnClose(update); }

    ZipDocumentServices& services() { return m_services; }

    // ArchiveEntrySource: a ZIP archive opens the archives among its entries as nested windows,
    // knows the CRC-32 of every entry but AES AE-2 ones and takes changed copies back through the
    // engine.
    Document& asDocument() override { return *this; }
    EntrySourceServices entryServices() override;
    EntryCopyRules entryCopyRules() const override { return {}; }
    bool isStoredLink(const ZipEntry& entry) const override { return entry.isSymbolicLink(); }
    bool recordsChecksumOf(const ZipEntry& entry) const override;
    bool extractEntryCopy(const OpenItem& item) override;
    uint16_t extractForCheckOut(const std::string& directory, const std::string& password) override;
    bool extractEntriesForDrag(const std::vector<std::string>& names, const std::string& directory) override;
    bool putBackChangedCopy(const OpenItem& item) override;

  private:
    void setArchivePath(const std::string& path);
    std::string askNewArchivePath();
    bool replaceExistingFile(const std::string& path);
    std::vector<std::string> entryNames() const;
    int showMessage(const std::string& text, MessageButtons buttons = MessageButtons::Ok,
                    MessageIcon icon = MessageIcon::None, int defaultButton = 0);
    void closeSelf();
    // Whether something other than the first local header starts the file: a program in front.
    void notePrefix();

    ZipDocumentServices m_services;
    ZipDirectoryReader m_reader;
    ArchiveOpenItems m_openItems;
    CheckOutState m_checkOut;
    // Data stands in front of the first entry (a self-extractor's program of any kind).
    bool m_programInFront = false;
};

} // namespace quarvo
