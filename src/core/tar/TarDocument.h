#pragma once

#include "core/documents/ArchiveDocument.h"
#include "core/documents/ArchiveOpenItems.h"
#include "core/documents/CheckOutState.h"
#include "core/framework/Document.h"
#include "core/ui/MessageBoxRequest.h"
#include "core/tar/TarArchiveReader.h"
#include "core/tar/TarListEntry.h"

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quarvo {

class AppSettings;
class ArchiveDialogs;
class DocumentManager;
class OpenItemList;
class TarEngine;
class UserInterface;
struct EntryLaunchServices;
struct UntarOptions;

// What a TAR document works with, all owned by the application.
struct TarDocumentServices {
    UserInterface& ui;
    ArchiveDialogs& dialogs;
    AppSettings& settings;
    OpenItemList& openItems;
    TarEngine& engine;
    DocumentManager& manager;
    // Where compressed streams are unpacked; the instance's own directory.
    std::string unpackDirectory;
    // Viewing, running and checking out entries; without them those commands do nothing.
    EntryLaunchServices* entryLaunch = nullptr;
};

// One open TAR archive, plain or a compressed stream unpacked by its reader: its entries as the
// listings show them, re-reading, deleting the archive file, its information and the questions
// before it closes, and its entries viewed, run and checked out (ArchiveEntrySource). TAR archives
// are read-only: nothing adds to or changes one, and a changed copy of an entry is never put back.
//
// The entry lists alternate: each read fills the list that was not current and carries the
// selection and the open copy of every entry whose name is still there over from the other.
class TarDocument : public Document, public ArchiveDocument {
  public:
    using EntryList = std::vector<std::unique_ptr<ZipEntry>>;

    explicit TarDocument(TarDocumentServices services);
    ~TarDocument() override;

    // Reads the archive at path (unpacking it first when it is a compressed stream) and, once read,
    // puts it first in the recent files unless it is the copy of another archive's entry. False after
    // "Error loading TAR File. " (with the reason on the next line when the engine gave one), or
    // without a word when the file is no TAR archive or the user cancelled; an unpacked stream is
    // then offered to be kept at once, since the document closes without a window.
    bool onOpenDocument(const std::string& path) override;
    // Offers a nested archive's copy back to its parent, closes the reader (which may offer to keep
    // the unpacked file) and drops the entries and every open item of this document.
    void onCloseDocument() override;
    // The check-out question; closing goes ahead whatever the answer.
    int confirmClose(bool closeAllMode) override;
    bool isNested() const override { return m_openItems.isNested(); }
    bool isArchive() const override { return true; }

    // Re-reads the directory of the file read at opening and tells the views. Returns false when
    // the read failed: the user was told ("Error loading ZIP File: PATH") and the document is closed.
    [[nodiscard]] bool reload() override;
    // Deletes the archive file after asking, and closes the document once asked. Returns true when
    // the document was closed.
    [[nodiscard]] bool deleteArchive() override;
    // Shows the "TAR File Info" dialog.
    void showInfo() override;
    // Whether a command this document handles is enabled now; nothing for other commands.
    std::optional<bool> isCommandEnabled(int commandId) const override;

    // Extracts (or tests) the entries the item specification names with the UNTAR options, into
    // directory for an extraction; tells the user what the engine reported when it failed.
    uint16_t extract(const std::string& specification, const std::string& directory, int commandId);

    const EntryList& entries() const { return m_lists[m_current]; }
    EntryList& entries() override { return m_lists[m_current]; }
    uint64_t entryTotal() const { return m_entryTotal; }
    uint64_t totalUncompressed() const { return m_totalUncompressed; }
    bool isZipInZip() const override { return m_openItems.isNested(); }
    int openItemCount() const { return m_openItems.count(); }
    bool isCheckedOut() const override { return m_checkOut.isCheckedOut(); }
    const std::string& checkoutDirectory() const override { return m_checkOut.directory(); }
    // Records a check-out to directory. Without a record of what it created, deleting the
    // checked-out files later takes the paths the engine last reported writing for the entries; with
    // one (CheckOutRecord::created), exactly those paths.
    void setCheckedOut(std::string directory) { m_checkOut.record(std::move(directory)); }
    void setCheckedOut(std::string directory, std::vector<std::string> createdPaths) override
    {
        m_checkOut.record(std::move(directory), std::move(createdPaths));
    }
    bool updateParentOnClose() const { return m_openItems.updateParentOnClose(); }
    void setUpdateParentOnClose(bool update) override { m_openItems.setUpdateParentOnClose(update); }
    TarArchiveReader& reader() { return m_reader; }
    TarDocumentServices& services() { return m_services; }

    // ArchiveEntrySource: a TAR archive opens only job files among its entries as windows of their
    // own, keeps no CRC-32 of its entries and takes no changed copies back.
    Document& asDocument() override { return *this; }
    EntrySourceServices entryServices() override;
    EntryCopyRules entryCopyRules() const override;
    bool isStoredLink(const ZipEntry& entry) const override;
    bool recordsChecksumOf(const ZipEntry&) const override { return false; }
    // Viewing a TAR entry asks no guard: nothing spans disks, nothing is written.
    bool canRunCommand(int) override { return true; }
    bool extractEntryCopy(const OpenItem& item) override;
    uint16_t extractForCheckOut(const std::string& directory, const std::string& password) override;
    bool extractEntriesForDrag(const std::vector<std::string>& names, const std::string& directory) override;
    // Never called: the rules take no changed copies. False all the same.
    bool putBackChangedCopy(const OpenItem& item) override;

    // The engine's callback while it extracts: records where the entry went. data is the document.
    static int onEntryExtracted(const char* writtenPath, const char* entryName, void* data);

  private:
    // Reads the directory into the other list. False when it failed; report then says whether the
    // failure is the user's to hear of.
    bool load(bool& report);
    bool readEntries();
    uint16_t extractWith(const std::string& specification, const std::string& directory, int commandId,
                         const UntarOptions& options);
    void showStatus(const std::string& name, bool force);
    std::vector<std::string> extractedPaths() const;
    void offerChangedCopiesBeforeClose();
    void closeSelf();
    void showMessage(const std::string& text, MessageIcon icon = MessageIcon::None);

    TarDocumentServices m_services;
    TarArchiveReader m_reader;
    ArchiveOpenItems m_openItems;
    CheckOutState m_checkOut;
    uint64_t m_entryTotal = 0;
    uint64_t m_totalUncompressed = 0;
    uint64_t m_fileSize = 0;
    std::time_t m_fileTime = 0;
    EntryList m_lists[2];
    int m_current = 0;
    std::optional<int64_t> m_lastStatusTime;
    // The current entries by name in lower case, made at the first extraction after a read.
    std::unordered_map<std::string, TarListEntry*> m_entriesByName;
};

} // namespace quarvo
