#pragma once

#include "core/zip/ArchiveFile.h"
#include "core/zip/DirectoryError.h"
#include "core/zip/EndRecordSearch.h"
#include "core/zip/ZipArchiveRecord.h"
#include "core/zip/ZipEntry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

class UserInterface;
struct CentralHeaderFields;

using ZipEntryList = std::vector<std::unique_ptr<ZipEntry>>;

// Receives the entries of a scan (ZipDirectoryReader::scanDirectory) one at a time, in directory
// order, for a reader of the directory that keeps no records of its own.
class DirectoryVisitor {
  public:
    virtual ~DirectoryVisitor() = default;
    // One entry; the record is valid only during the call.
    virtual void visit(const ZipEntry& entry) = 0;
    // Every entry handed over so far is to be forgotten: a directory spread over disks is read
    // again from the disk it begins on, and its entries come again.
    virtual void restart() = 0;
};

// Reads the central directory of a ZIP archive into ZipEntry records and the archive record. A ZIP
// document owns one reader for its whole life: every re-read keeps the selection and the open item
// of each entry whose name is still there (compared ignoring case).
//
// The reader talks to the user only through the port: the wait cursor, "Reading: NAME" in the status
// line, and the questions of multi-disk archives.
class ZipDirectoryReader {
  public:
    ZipDirectoryReader(UserInterface& ui, std::string path);

    const std::string& path() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }

    // Rebuilds the current entry list and the archive record from the file. Returns true only when
    // the number of entries read equals the end record's total (the ZIP64 end record's, when it has
    // one); on false, error() says why. On failure the entries read so far stay in the current list.
    // The file is closed again before it returns. A directory spread over several disks is read only
    // on a removable drive (elsewhere the last part of a set fails at once as LastSplitPart): each
    // "Insert disk N." may be cancelled, the file read last is not taken again as the next disk
    // unless it changed, and all the disks together give no more central headers than the end
    // record's directory size holds.
    bool readDirectory();
    // Reads the directory as readDirectory does, but hands each entry to visitor instead of keeping
    // it: the entry lists and their selections stay as they were, and a directory of any size costs
    // the memory of one entry. The archive record is filled as by readDirectory. Returns the same.
    bool scanDirectory(DirectoryVisitor& visitor);
    // Why the last readDirectory or scanDirectory returned false; not meaningful after one that returned true.
    const DirectoryError& error() const { return m_error; }

    // Chooses the end record in the open archive file (chooseEndRecord) and positions the file where the
    // directory must be read. Returns the directory offset; 0 when the directory begins on an earlier disk
    // (the file is positioned at 0); -1 when there is no end record, with error() saying what the file
    // is instead. With detectKind it also sets `spanned` and recognises self-extractor stubs.
    int64_t findDirectory(bool detectKind);

    // findDirectory(true); on -1, when the archive is on a removable drive, asks for the last
    // diskette and tries again as often as the user presses OK. Returns the offset or -1.
    int64_t locateDirectory();

    // Opens the archive file for the single-entry operations; they call findDirectory themselves.
    bool openFile() { return m_file.open(m_path).ok(); }
    void closeFile() { m_file.close(); }
    ArchiveFile& file() { return m_file; }

    ZipArchiveRecord& archive() { return m_archive; }
    const ZipArchiveRecord& archive() const { return m_archive; }
    // The list filled by the last read.
    ZipEntryList& entries() { return m_lists[m_current]; }
    const ZipEntryList& entries() const { return m_lists[m_current]; }
    // The list of the read before; after a successful read it holds the entries that vanished.
    ZipEntryList& previousEntries() { return m_lists[1 - m_current]; }
    // Drops the entries that vanished; the document does it after a successful read.
    void clearPreviousEntries() { previousEntries().clear(); }

    // The clock that paces the "Reading: " status text, in milliseconds; a steady clock unless a test
    // sets its own.
    using Clock = std::function<int64_t()>;
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // The position of the first entry whose name equals name ignoring case, or nothing.
    static std::optional<size_t> findEntryByName(const ZipEntryList& list, std::string_view name);

    // What tells one disk of a set from another in the same drive: the file and its state.
    struct DiskIdentity {
        uint64_t device;
        uint64_t inode;
        int64_t size;
        int64_t modificationSeconds;
        int64_t modificationNanoseconds;
        int64_t changeSeconds;
        int64_t changeNanoseconds;

        bool operator==(const DiskIdentity&) const = default;
    };

  private:
    class PreviousEntries;
    enum class Step { Continue, Done, Failed };

    void detectSelfExtractor();
    Step fail(DirectoryError error);
    // Fails on what was found inside the directory, unless a ZIP64 end record that cannot be used
    // explains it better.
    Step failInDirectory(DirectoryError error);
    // Fails on the central header of the entry being read, saying what is wrong with it.
    Step failDamagedHeader(const char* detail);
    // When a disk cannot be swapped: LastSplitPart where no disks can be, else DisksNotInserted.
    Step failSwap();
    // Reads the file's directory, keeping the entries, or handing them to visitor when it is given.
    bool read(DirectoryVisitor* visitor);
    Step readEntry(PreviousEntries& previous);
    // Reads the name, extra field and comment that follow a central header into entry.
    Step readVariableFields(ZipEntry& entry, const CentralHeaderFields& fields);
    Step readEndRecord(PreviousEntries& previous);
    Step nextDisk();
    // Asks for disk number (1-based) and opens it. False when disks cannot be swapped here, the user
    // cancels, or the file is the one read last, unchanged.
    bool swapDisk(int number);
    void showStatus(const std::string& name, bool force);

    UserInterface& m_ui;
    Clock m_clock;
    std::string m_path;
    ArchiveFile m_file;
    ZipArchiveRecord m_archive;
    ZipEntryList m_lists[2];
    int m_current = 0;

    // State of one read.
    DirectoryVisitor* m_visitor = nullptr;
    // The one record a scan fills for each entry in turn.
    ZipEntry m_scannedEntry;
    // The name, extra field and comment of the header being read, in one buffer reused by every
    // header.
    std::vector<uint8_t> m_variableFields;
    uint64_t m_entryCounter = 0;
    uint64_t m_endRecordOffset = 0;
    // Where the chosen end record's directory lies, when it was found there.
    DirectoryLocation m_location;
    // The chosen end record leaves its values to a ZIP64 end record that cannot be used.
    bool m_zip64RecordMissing = false;
    // The chosen end record says the directory begins on an earlier disk.
    bool m_directoryOnEarlierDisk = false;
    DirectoryError m_error;
    // The disk read last.
    std::optional<DiskIdentity> m_diskIdentity;
    // Bytes of central headers a read across disks may still take.
    std::optional<uint64_t> m_directoryBytesLeft;
    int m_disksToRead = 0;
    int m_currentDisk = 0;
    bool m_restartedAtFirstDisk = false;
    std::string m_pendingStatus;
    // When the status text was last shown in this read; nothing before the first name.
    std::optional<int64_t> m_lastStatusTime;
};

} // namespace quarvo
