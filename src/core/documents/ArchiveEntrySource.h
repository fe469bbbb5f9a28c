#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quarvo {

class AppSettings;
class ArchiveDialogs;
class Document;
class OpenItemList;
class UserInterface;
struct EntryLaunchServices;
struct OpenItem;
struct ZipEntry;

// What viewing, running and checking out entries uses of an archive document's services, all owned
// by the application.
struct EntrySourceServices {
    UserInterface& ui;
    ArchiveDialogs& dialogs;
    AppSettings& settings;
    OpenItemList& openItems;
    // Without them viewing, running and checking out do nothing.
    EntryLaunchServices* entryLaunch = nullptr;
};

// How the copies of an archive kind's entries are treated.
struct EntryCopyRules {
    // A viewed entry that is an archive opens as a nested window of its own; otherwise only job
    // files open as windows and every other copy is launched.
    bool opensNestedArchives = true;
    // A changed copy can be put back in place of its entry. When not, the archive is read-only and
    // the user is offered to keep the copy elsewhere.
    bool takesChangedCopies = true;
};

// An archive document whose entries can be viewed, run and checked out: what the entry commands,
// the open-item stage machine and Show Parent need of it, so that one implementation serves every
// kind of archive. ZIP and TAR documents implement it; the engine work behind each operation is
// theirs.
class ArchiveEntrySource {
  public:
    virtual ~ArchiveEntrySource() = default;

    // The document itself: its path, its views.
    virtual Document& asDocument() = 0;
    virtual EntrySourceServices entryServices() = 0;
    virtual EntryCopyRules entryCopyRules() const = 0;
    virtual std::vector<std::unique_ptr<ZipEntry>>& entries() = 0;

    // The archive is the copy of an entry of another archive, open in a window of its own.
    virtual bool isZipInZip() const = 0;
    // Whether closing this nested archive offers its copy back to its parent; the parent turns it
    // off when it closes the nested window itself.
    virtual void setUpdateParentOnClose(bool update) = 0;

    virtual bool isCheckedOut() const = 0;
    // The check-out directory, without a trailing "/"; empty unless checked out.
    virtual const std::string& checkoutDirectory() const = 0;
    // Records a completed check-out to directory and the paths below it that the check-out created
    // (CheckOutRecord::created), the only ones deleting the checked-out files later removes.
    virtual void setCheckedOut(std::string directory, std::vector<std::string> createdPaths) = 0;

    // The entry is stored as a symbolic link, which is never viewed or run.
    virtual bool isStoredLink(const ZipEntry& entry) const = 0;
    // The entry records the CRC-32 of its data, which tells whether a copy changed. When it does not
    // (TAR entries, AES entries of the AE-2 kind), the copy is fingerprinted when it is made.
    virtual bool recordsChecksumOf(const ZipEntry& entry) const = 0;
    // The guard asked before viewing or putting a copy back; it may refuse with a message.
    virtual bool canRunCommand(int commandId) = 0;

    // Extracts the item's entry alone into item.tempDirectory, replacing what is there, recreating
    // its stored directories, with item.password. False when that failed; the user has been told.
    virtual bool extractEntryCopy(const OpenItem& item) = 0;
    // Extracts every entry into directory for a check-out, replacing files of the same names,
    // recreating the stored directories, with no path recursion, whatever the options say. Returns
    // the engine's result; the user has been told what went wrong.
    virtual uint16_t extractForCheckOut(const std::string& directory, const std::string& password) = 0;
    // Extracts the entries of the given stored names (and what a directory entry holds) into
    // directory for a drag out of the listing, replacing files of the same names and recreating the
    // stored directories below it. False when that failed; the user has been told.
    virtual bool extractEntriesForDrag(const std::vector<std::string>& names,
                                       const std::string& directory) = 0;
    // Puts the item's changed copy back in place of its entry. False when it did not go back.
    // Called only when the rules take changed copies.
    virtual bool putBackChangedCopy(const OpenItem& item) = 0;

    // Re-reads the archive and tells the views. False when that failed: the user was told and the
    // document is closed.
    [[nodiscard]] virtual bool reload() = 0;
};

} // namespace quarvo
