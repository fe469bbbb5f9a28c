#include "core/zip/ZipDirectoryReader.h"

#include "core/base/TextCase.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "core/zip/EndRecordSearch.h"
#include "core/zip/WinZipAesField.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"
#include "core/zip/ZipRecords.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <sys/stat.h>
#include <unordered_map>

namespace quarvo {

namespace {

// The status line shows the entry being read at most this often; a directory of 100,000 entries
// would otherwise spend its time repainting.
constexpr int64_t StatusIntervalMilliseconds = 50;

constexpr size_t StubProbeSize = 64;
constexpr size_t StubRelocationOffset = 0x18;
constexpr size_t StubNewHeaderOffset = 0x3C;
constexpr uint16_t StubMinimumRelocation = 0x40;

int64_t nowMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

uint16_t le16(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t le32(const uint8_t* bytes)
{
    return le16(bytes) | static_cast<uint32_t>(le16(bytes + 2)) << 16;
}

// The text after the last "." when that dot comes after the last "/".
std::string_view extensionOf(std::string_view path)
{
    size_t dot = path.rfind('.');
    size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return path.substr(dot + 1);
}

ArchiveFileStatus statusOf(int descriptor, const std::string& path)
{
    ArchiveFileStatus status;
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    status.path = error ? path : absolute.string();
    struct stat info {};
    if (::fstat(descriptor, &info) != 0)
        return status;
    status.creationTime = info.st_ctim.tv_sec;
    status.modificationTime = info.st_mtim.tv_sec;
    status.accessTime = info.st_atim.tv_sec;
    status.size = static_cast<uint64_t>(info.st_size);
    status.attributes = zipformat::attribute::DosArchive;
    if (!(info.st_mode & S_IWUSR))
        status.attributes |= zipformat::attribute::DosReadOnly;
    if (std::filesystem::path(path).filename().string().starts_with('.'))
        status.attributes |= zipformat::attribute::DosHidden;
    return status;
}

std::optional<ZipDirectoryReader::DiskIdentity> diskIdentityOf(int descriptor)
{
    struct stat info {};
    if (::fstat(descriptor, &info) != 0)
        return std::nullopt;
    return ZipDirectoryReader::DiskIdentity{info.st_dev,         info.st_ino,          info.st_size,
                                            info.st_mtim.tv_sec, info.st_mtim.tv_nsec, info.st_ctim.tv_sec,
                                            info.st_ctim.tv_nsec};
}

class WaitCursor {
  public:
    explicit WaitCursor(UserInterface& ui) : m_ui(ui) { m_ui.beginWaitCursor(); }
    ~WaitCursor() { m_ui.endWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    UserInterface& m_ui;
};

} // namespace

// The entries of the read before, for handing their selection and open item over to the new entries
// of the same name (ignoring case). A re-read usually finds the names in the same order as before,
// so the first entry not yet handed over is tried first; only a name found elsewhere builds an index
// by lower-case name, so 100,000 entries cost little more than ten either way.
class ZipDirectoryReader::PreviousEntries {
  public:
    // Entries may be added after some were taken (a spanned directory read again from its first
    // disk); they come after all the others.
    void add(std::unique_ptr<ZipEntry> entry)
    {
        m_entries.push_back(std::move(entry));
        if (m_indexed) {
            m_next.push_back(None);
            index(m_entries.size() - 1);
        }
    }

    // The first remaining entry of that name ignoring case, taken out; null when there is none.
    std::unique_ptr<ZipEntry> take(const std::string& name)
    {
        skipTaken();
        if (m_firstRemaining == m_entries.size())
            return nullptr;
        // Every entry before the first remaining one is taken: a match there is the first.
        if (equalsIgnoringCase(m_entries[m_firstRemaining]->name, name))
            return std::move(m_entries[m_firstRemaining++]);
        if (!m_indexed)
            buildIndex();
        auto found = m_chains.find(toLowerAscii(name));
        if (found == m_chains.end())
            return nullptr;
        // The chain still holds entries the quick path took: pass over them.
        size_t position = found->second.first;
        while (position != None && !m_entries[position])
            position = m_next[position];
        if (position == None || m_next[position] == None)
            m_chains.erase(found);
        else
            found->second.first = m_next[position];
        return position == None ? nullptr : std::move(m_entries[position]);
    }

    // The entries never taken, in their old order.
    void moveRemainingTo(ZipEntryList& list)
    {
        for (std::unique_ptr<ZipEntry>& entry : m_entries) {
            if (entry)
                list.push_back(std::move(entry));
        }
        m_entries.clear();
        m_next.clear();
        m_chains.clear();
        m_firstRemaining = 0;
        m_indexed = false;
    }

  private:
    static constexpr size_t None = SIZE_MAX;
    // The first and last entry of one lower-case name; m_next links the ones between.
    struct Chain {
        size_t first;
        size_t last;
    };

    void skipTaken()
    {
        while (m_firstRemaining < m_entries.size() && !m_entries[m_firstRemaining])
            ++m_firstRemaining;
    }

    void buildIndex()
    {
        m_indexed = true;
        m_next.assign(m_entries.size(), None);
        m_chains.reserve(m_entries.size() - m_firstRemaining);
        for (size_t position = m_firstRemaining; position < m_entries.size(); ++position) {
            if (m_entries[position])
                index(position);
        }
    }

    // Appends the entry at position to the chain of its name.
    void index(size_t position)
    {
        auto [chain, inserted] =
            m_chains.try_emplace(toLowerAscii(m_entries[position]->name), Chain{position, position});
        if (!inserted) {
            m_next[chain->second.last] = position;
            chain->second.last = position;
        }
    }

    std::vector<std::unique_ptr<ZipEntry>> m_entries;
    size_t m_firstRemaining = 0;
    bool m_indexed = false;
    std::vector<size_t> m_next; // the next entry of the same name, or None
    std::unordered_map<std::string, Chain> m_chains;
};

ZipDirectoryReader::ZipDirectoryReader(UserInterface& ui, std::string path)
    : m_ui(ui), m_clock(nowMilliseconds), m_path(std::move(path))
{
}

std::optional<size_t> ZipDirectoryReader::findEntryByName(const ZipEntryList& list, std::string_view name)
{
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] && equalsIgnoringCase(list[i]->name, name))
            return i;
    }
    return std::nullopt;
}

int64_t ZipDirectoryReader::findDirectory(bool detectKind)
{
    Result<std::optional<EndRecordCandidate>> chosen = chooseEndRecord(m_file);
    if (!chosen) {
        m_error = {.problem = DirectoryProblem::CannotRead};
        return -1;
    }
    if (!chosen->has_value()) {
        m_error = {.problem = classifyFileWithoutEndRecord(m_file)};
        return -1;
    }
    const EndRecordCandidate& found = **chosen;
    const uint64_t endOffset = found.offset;
    const EndRecordFields& fields = found.fields;
    m_currentDisk = fields.thisDisk;
    m_location = {};
    m_zip64RecordMissing = false;
    m_directoryOnEarlierDisk = fields.thisDisk > 0 && (fields.directoryStartDisk < fields.thisDisk ||
                                                       fields.entriesOnThisDisk < fields.entriesTotal);
    if (detectKind) {
        if (fields.thisDisk > 0) {
            m_archive.spanned = true;
            if (equalsIgnoringCase(extensionOf(m_path), "exe"))
                m_archive.selfExtractorKind = SelfExtractorKind::Windows;
        } else if (fields.directoryOffset != 0) {
            detectSelfExtractor();
        }
    }
    if (fields.entriesOnThisDisk < fields.entriesTotal) {
        m_file.seek(0);
        return 0;
    }
    m_endRecordOffset = endOffset;
    // A read that stopped on a continuation disk positions at the end record instead.
    if (m_archive.thisDisk != m_archive.directoryStartDisk) {
        m_file.seek(endOffset);
        return fields.directoryOffset;
    }
    // An archive with data in front of it that its offsets do not count (a stub joined to it with
    // cat), or with a ZIP64 end record between directory and end record, is read where its directory
    // really is.
    DirectoryLocation location = quarvo::locateDirectory(m_file, found);
    m_archive.zip64 = location.zip64;
    m_zip64RecordMissing = lacksUsableZip64EndRecord(fields, location);
    if (location.fit == DirectoryLocation::Fit::Exact || location.fit == DirectoryLocation::Fit::Shifted) {
        m_location = location;
        m_file.seek(location.start);
        return static_cast<int64_t>(location.start);
    }
    m_file.seek(fields.directoryOffset);
    return fields.directoryOffset;
}

void ZipDirectoryReader::detectSelfExtractor()
{
    std::array<uint8_t, StubProbeSize> header{};
    if (m_file.readAt(0, header) != header.size() || header[0] != 'M' || header[1] != 'Z')
        return;
    if (le16(header.data() + StubRelocationOffset) < StubMinimumRelocation) {
        m_archive.selfExtractorKind = SelfExtractorKind::Dos;
        return;
    }
    std::array<uint8_t, StubProbeSize> newHeader{};
    bool windows = m_file.readAt(le32(header.data() + StubNewHeaderOffset), newHeader) == newHeader.size() &&
                   newHeader[0] == 'N' && newHeader[1] == 'E';
    m_archive.selfExtractorKind = windows ? SelfExtractorKind::Windows : SelfExtractorKind::Dos;
}

int64_t ZipDirectoryReader::locateDirectory()
{
    for (;;) {
        int64_t offset = findDirectory(true);
        if (offset != -1)
            return offset;
        m_file.close();
        if (!m_archive.onRemovableDrive)
            return -1;
        MessageBoxRequest request;
        request.text = "The ZIP directory could not be located in the file " + m_path +
                       ".  If this is a ZIP backup, please insert the last diskette.";
        request.buttons = MessageButtons::OkCancel;
        request.icon = MessageIcon::Question;
        if (m_ui.showMessage(request) != DialogResult::Ok)
            return -1;
        if (Result<Ok, OpenError> opened = m_file.open(m_path); !opened) {
            m_error = directoryErrorOf(opened.error());
            return -1;
        }
    }
}

bool ZipDirectoryReader::readDirectory()
{
    return read(nullptr);
}

bool ZipDirectoryReader::scanDirectory(DirectoryVisitor& visitor)
{
    return read(&visitor);
}

bool ZipDirectoryReader::read(DirectoryVisitor* visitor)
{
    WaitCursor waitCursor(m_ui);
    m_visitor = visitor;
    m_archive.spanned = false;
    // Entries a failed read left behind still carry selections and open items: they stay
    // candidates for the hand-over like those of the last complete read. A scan keeps no entries
    // and leaves the lists alone.
    PreviousEntries previous;
    if (!m_visitor) {
        m_current = 1 - m_current;
        for (ZipEntryList* list : {&previousEntries(), &entries()}) {
            for (std::unique_ptr<ZipEntry>& entry : *list)
                previous.add(std::move(entry));
            list->clear();
        }
    }
    ZipArchiveRecord& a = m_archive;
    a.thisDisk = a.directoryStartDisk = a.archiveCommentLength = 0;
    a.entriesOnThisDisk = a.entriesTotal = a.directorySize = a.directoryOffset = 0;
    a.totalCompressed = a.totalUncompressed = 0;
    a.zip64 = false;
    a.archiveComment.clear();
    m_entryCounter = 0;
    m_endRecordOffset = 0;
    m_location = {};
    m_disksToRead = 0;
    m_restartedAtFirstDisk = false;
    m_directoryBytesLeft.reset();
    m_pendingStatus.clear();
    m_lastStatusTime.reset();
    m_error = {};

    Step step = Step::Failed;
    if (Result<Ok, OpenError> opened = m_file.open(m_path); !opened) {
        step = fail(directoryErrorOf(opened.error()));
    } else {
        a.fileStatus = statusOf(m_file.descriptor(), m_path);
        m_diskIdentity = diskIdentityOf(m_file.descriptor());
        step = locateDirectory() == -1 ? Step::Failed : Step::Continue;
        // Only a removable drive lets the user put the earlier disks in; anywhere else the directory
        // of this part cannot be read, however it begins.
        if (step == Step::Continue && m_directoryOnEarlierDisk && !m_archive.onRemovableDrive)
            step = fail({.problem = DirectoryProblem::LastSplitPart});
    }
    bool firstRecord = true;
    while (step == Step::Continue) {
        std::array<uint8_t, 4> signature{};
        const size_t count = m_file.read(signature);
        const uint32_t found = count == signature.size() ? le32(signature.data()) : 0;
        if (count == 0 && m_disksToRead > 0) {
            step = nextDisk();
        } else if (found == zipformat::CentralHeaderSignature) {
            step = readEntry(previous);
        } else if (found == zipformat::EndRecordSignature) {
            step = readEndRecord(previous);
        } else if (found == zipformat::Zip64EndRecordSignature && m_endRecordOffset > m_file.position()) {
            // The ZIP64 end record and its locator; the end record after them has the fields kept.
            m_file.seek(m_endRecordOffset);
        } else if (firstRecord) {
            step = failInDirectory({.problem = DirectoryProblem::DirectoryNotFound});
        } else {
            step = failDamagedHeader("no central header begins where it should");
        }
        firstRecord = false;
    }
    m_file.close();
    if (!m_pendingStatus.empty())
        showStatus(std::string(m_pendingStatus), true);
    if (!m_visitor)
        previous.moveRemainingTo(previousEntries());
    m_visitor = nullptr;
    return step == Step::Done;
}

ZipDirectoryReader::Step ZipDirectoryReader::fail(DirectoryError error)
{
    m_error = std::move(error);
    return Step::Failed;
}

ZipDirectoryReader::Step ZipDirectoryReader::failInDirectory(DirectoryError error)
{
    // The directory was looked for where the saturated values of the end record put it, which is
    // no place at all when the ZIP64 end record that holds the real ones is missing.
    if (m_zip64RecordMissing)
        return fail({.problem = DirectoryProblem::Zip64RecordMissing});
    return fail(std::move(error));
}

ZipDirectoryReader::Step ZipDirectoryReader::failDamagedHeader(const char* detail)
{
    return failInDirectory(
        {.problem = DirectoryProblem::DamagedHeader, .entry = m_entryCounter + 1, .detail = detail});
}

ZipDirectoryReader::Step ZipDirectoryReader::failSwap()
{
    return fail({.problem = m_archive.onRemovableDrive ? DirectoryProblem::DisksNotInserted
                                                       : DirectoryProblem::LastSplitPart});
}

ZipDirectoryReader::Step ZipDirectoryReader::nextDisk()
{
    ++m_currentDisk;
    if (!swapDisk(m_currentDisk + 1))
        return failSwap();
    --m_disksToRead;
    return Step::Continue;
}

bool ZipDirectoryReader::swapDisk(int number)
{
    // Only a removable drive lets the user put another disk where this file is; anywhere else the
    // same file would be read again as every disk of the set.
    if (!m_archive.onRemovableDrive)
        return false;
    MessageBoxRequest request;
    request.text = "Insert disk " + std::to_string(number) + ".";
    request.buttons = MessageButtons::OkCancel;
    request.icon = MessageIcon::Information;
    if (m_ui.showMessage(request) != DialogResult::Ok)
        return false;
    m_file.close();
    if (!m_file.open(m_path))
        return false;
    // OK pressed without swapping the disk: this file is not the next one.
    std::optional<DiskIdentity> identity = diskIdentityOf(m_file.descriptor());
    if (!identity || identity == m_diskIdentity)
        return false;
    m_diskIdentity = identity;
    return true;
}

ZipDirectoryReader::Step ZipDirectoryReader::readEntry(PreviousEntries& previous)
{
    constexpr const char* PastTheFile = "it runs past the end of the file";
    std::array<uint8_t, zipformat::CentralHeaderFieldsSize> fixed{};
    if (m_file.read(fixed) != fixed.size())
        return failDamagedHeader(PastTheFile);
    Result<CentralHeaderFields> fields = parseCentralHeaderFields(fixed);
    if (!fields)
        return failDamagedHeader(PastTheFile);
    // A directory read across disks may hold no more than its end record's size says, so a set of
    // disks cannot make the read go on for longer than its directory is.
    if (m_directoryBytesLeft) {
        const uint64_t recordSize =
            zipformat::CentralHeaderSize + fields->nameLength + fields->extraLength + fields->commentLength;
        if (recordSize > *m_directoryBytesLeft)
            return failDamagedHeader("it runs past the end of the directory");
        *m_directoryBytesLeft -= recordSize;
    }
    if (m_visitor) {
        // The record of the entry before is filled again; what the header does not give is reset.
        ZipEntry& entry = m_scannedEntry;
        entry.aes.reset();
        if (Step step = readVariableFields(entry, fields.value()); step != Step::Continue)
            return step;
        m_visitor->visit(entry);
        return Step::Continue;
    }
    auto entry = std::make_unique<ZipEntry>();
    if (Step step = readVariableFields(*entry, fields.value()); step != Step::Continue)
        return step;
    if (std::unique_ptr<ZipEntry> old = previous.take(entry->name)) {
        entry->openItem = old->openItem;
        entry->selected = old->selected;
    }
    entries().push_back(std::move(entry));
    return Step::Continue;
}

ZipDirectoryReader::Step ZipDirectoryReader::readVariableFields(ZipEntry& entry, const CentralHeaderFields& fields)
{
    constexpr const char* PastTheFile = "it runs past the end of the file";
    assignHeaderFields(entry, fields);
    // Name, extra field and comment follow one another: one read takes all three.
    const size_t nameLength = entry.nameLength;
    const size_t extraLength = entry.extraLength;
    m_variableFields.resize(nameLength + extraLength + entry.commentLength);
    if (m_file.read(m_variableFields) != m_variableFields.size())
        return failDamagedHeader(PastTheFile);
    const std::span<const uint8_t> bytes(m_variableFields);
    const std::span<const uint8_t> extra = bytes.subspan(nameLength, extraLength);
    entry.name = decodeEntryName(bytes.first(nameLength), entry.flags, extra);
    if (entry.method == zipformat::method::Aes) {
        if (Result<WinZipAesField, AesFieldError> aes = parseWinZipAesField(extra))
            entry.aes = aes.value();
    }
    if (!entry.name.empty())
        showStatus(entry.name, false);
    // Sizes and offset kept in a ZIP64 extra field. A damaged field leaves what it cannot give
    // saturated, as listed; the engines refuse that entry.
    WideHeaderValues wide;
    widenCentralFields(fields, extra, m_file.size(), wide);
    entry.uncompressedSize = wide.uncompressedSize;
    entry.compressedSize = wide.compressedSize;
    entry.localHeaderOffset = wide.localHeaderOffset;
    entry.comment = decodeArchiveText(bytes.subspan(nameLength + extraLength), entry.flags);
    entry.index = static_cast<int32_t>(m_entryCounter++);
    m_archive.totalCompressed += entry.compressedSize;
    m_archive.totalUncompressed += entry.uncompressedSize;
    return Step::Continue;
}

ZipDirectoryReader::Step ZipDirectoryReader::readEndRecord(PreviousEntries& previous)
{
    const uint64_t recordOffset = m_file.position() - 4;
    std::array<uint8_t, zipformat::EndRecordFieldsSize> fixed{};
    if (m_file.read(fixed) != fixed.size())
        return failInDirectory({.problem = DirectoryProblem::DamagedEndRecord});
    Result<EndRecordFields> fields = parseEndRecordFields(fixed);
    if (!fields)
        return failInDirectory({.problem = DirectoryProblem::DamagedEndRecord});
    ZipArchiveRecord& a = m_archive;
    a.thisDisk = fields->thisDisk;
    a.directoryStartDisk = fields->directoryStartDisk;
    a.entriesOnThisDisk = fields->entriesOnThisDisk;
    a.entriesTotal = fields->entriesTotal;
    a.directorySize = fields->directorySize;
    a.directoryOffset = fields->directoryOffset;
    a.archiveCommentLength = fields->commentLength;
    // The record the search chose, behind ZIP64 end records: their values stand for the saturated
    // fields. They describe a single disk, so both counts are the total.
    if (m_location.zip64 && recordOffset == m_endRecordOffset) {
        a.entriesOnThisDisk = a.entriesTotal = m_location.entriesTotal;
        a.directorySize = m_location.size;
        a.directoryOffset = m_location.start - m_location.prependedLength;
    }
    std::vector<uint8_t> comment(a.archiveCommentLength);
    if (m_file.read(comment) != comment.size())
        return failInDirectory({.problem = DirectoryProblem::DamagedEndRecord});
    // The archive comment has no flag of its own: it is read as a name without flag bit 11 is, so the
    // UTF-8 dzip writes reads back as typed and an MS-DOS writer's code page 437 still reads right.
    a.archiveComment = decodeArchiveText(comment, 0);
    if (a.entriesTotal == m_entryCounter)
        return Step::Done;
    // More than 65,535 entries without ZIP64 records: Java's ZipOutputStream before version 7, older
    // Info-ZIP zip and many small writers keep only the low 16 bits of the count. A single file
    // whose directory was read header by header up to its end record is complete when those agree.
    // The record then counts the entries read, as a ZIP64 end record would have, so the
    // archive's information and the listing's totals give the whole count.
    if (!a.zip64 && a.thisDisk == 0 && m_entryCounter > zipformat::Max16 &&
        (m_entryCounter & zipformat::Max16) == a.entriesTotal) {
        a.entriesOnThisDisk = a.entriesTotal = m_entryCounter;
        return Step::Done;
    }

    // The directory began on an earlier disk. A single file whose count disagrees cannot be helped
    // by another disk, and a set is gone through once: asking again would read the same headers
    // again and again.
    if (a.thisDisk == 0 || m_restartedAtFirstDisk || a.directoryStartDisk > a.thisDisk)
        return failInDirectory({.problem = DirectoryProblem::EntryCountMismatch,
                                .entriesFound = m_entryCounter,
                                .entriesCounted = a.entriesTotal});
    m_restartedAtFirstDisk = true;
    // The headers read so far come from the last disk and are read again, in their stored order,
    // when their turn comes.
    if (m_visitor) {
        m_visitor->restart();
    } else {
        for (std::unique_ptr<ZipEntry>& entry : entries())
            previous.add(std::move(entry));
        entries().clear();
    }
    m_entryCounter = 0;
    a.totalCompressed = a.totalUncompressed = 0;
    if (!swapDisk(a.directoryStartDisk + 1))
        return failSwap();
    m_file.seek(a.directoryOffset);
    m_directoryBytesLeft = a.directorySize;
    m_disksToRead = a.thisDisk - a.directoryStartDisk;
    m_currentDisk = a.directoryStartDisk;
    return Step::Continue;
}

void ZipDirectoryReader::showStatus(const std::string& name, bool force)
{
    int64_t now = m_clock();
    if (!force && m_lastStatusTime && now - *m_lastStatusTime < StatusIntervalMilliseconds) {
        m_pendingStatus = name;
        return;
    }
    m_lastStatusTime = now;
    m_pendingStatus.clear();
    m_ui.setStatusText("Reading: " + escapeControlCharacters(name));
}

} // namespace quarvo
