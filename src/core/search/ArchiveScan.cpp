#include "core/search/ArchiveScan.h"

#include "core/listing/WildcardMatcher.h"
#include "core/search/KeyWord.h"
#include "core/zip/ArchiveFile.h"
#include "core/zip/EndRecordSearch.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"
#include "core/zip/ZipRecords.h"

#include <array>
#include <vector>

namespace quarvo {

namespace {

// The lines of one archive, with the rule that its path comes before its first hit.
class ArchiveLines {
  public:
    ArchiveLines(const std::string& path, const SearchListener& listener) : m_path(path), m_listener(listener)
    {
    }

    bool listed() const { return m_listed; }

    void add(SearchResultLine::Kind kind, std::string text)
    {
        if (!m_listed) {
            m_listed = true;
            report(SearchResultLine::Kind::Archive, escapeControlCharacters(m_path));
        }
        report(kind, std::move(text));
    }

  private:
    void report(SearchResultLine::Kind kind, std::string text)
    {
        if (m_listener.found)
            m_listener.found({kind, std::move(text), m_path});
    }

    const std::string& m_path;
    const SearchListener& m_listener;
    bool m_listed = false;
};

constexpr const char* EntryIndent = "     ";
constexpr const char* EntryKeyMark = "   (Key Found)";
constexpr const char* ArchiveKeyLine = "     (Key found)";

std::vector<uint8_t> readBytes(ArchiveFile& file, size_t count, bool& complete)
{
    std::vector<uint8_t> bytes(count);
    complete = file.read(bytes) == bytes.size();
    return bytes;
}

// Reads one central header at the file's position and reports what it hits. False when the header
// is not whole.
bool scanCentralHeader(ArchiveFile& file, const SearchCriteria& criteria, ArchiveLines& lines)
{
    std::array<uint8_t, zipformat::SignatureSize + zipformat::CentralHeaderFieldsSize> fixed{};
    if (file.read(fixed) != fixed.size())
        return false;
    Result<CentralHeaderFields> fields =
        parseCentralHeaderFields(std::span(fixed).subspan(zipformat::SignatureSize));
    const uint32_t signature = fixed[0] | fixed[1] << 8 | fixed[2] << 16 | uint32_t(fixed[3]) << 24;
    if (!fields || signature != zipformat::CentralHeaderSignature)
        return false;
    bool whole = true;
    const std::vector<uint8_t> name = readBytes(file, fields->nameLength, whole);
    const std::vector<uint8_t> extra =
        whole ? readBytes(file, fields->extraLength, whole) : std::vector<uint8_t>();
    const std::vector<uint8_t> comment =
        whole ? readBytes(file, fields->commentLength, whole) : std::vector<uint8_t>();
    if (!whole)
        return false;
    const std::string decodedName = decodeEntryName(name, fields->flags, extra);
    const bool nameMatches = !decodedName.empty() && matches(decodedName, criteria.fileName);
    const bool commentHits = !lines.listed() && !comment.empty() &&
                             containsKeyWord(decodeArchiveText(comment, fields->flags), criteria.keyWord);
    if (nameMatches || commentHits) {
        std::string text = EntryIndent + escapeControlCharacters(decodedName);
        if (commentHits)
            text += EntryKeyMark;
        lines.add(SearchResultLine::Kind::Entry, std::move(text));
    }
    return true;
}

} // namespace

ArchiveScanOutcome scanArchive(const std::string& path, const SearchCriteria& criteria,
                               const SearchListener& listener)
{
    ArchiveFile file;
    if (!file.open(path))
        return ArchiveScanOutcome::CannotOpen;
    Result<std::optional<EndRecordCandidate>> chosen = chooseEndRecord(file);
    if (!chosen || !chosen->has_value())
        return ArchiveScanOutcome::NoDirectory;
    const EndRecordCandidate& end = **chosen;
    ArchiveLines lines(path, listener);

    // The archive comment is searched as soon as the end record is known, before any entry.
    std::vector<uint8_t> comment(end.fields.commentLength);
    comment.resize(file.readAt(end.offset + zipformat::EndRecordSize, comment));
    if (containsKeyWord(decodeArchiveText(comment, 0), criteria.keyWord))
        lines.add(SearchResultLine::Kind::ArchiveKey, ArchiveKeyLine);

    // The rest of the directory lies on earlier disks of a set. Asking for them in the middle of a
    // search would stop it for a question about one archive among thousands: it is passed by.
    const EndRecordFields& fields = end.fields;
    if (fields.thisDisk > 0 &&
        (fields.directoryStartDisk != fields.thisDisk || fields.entriesOnThisDisk < fields.entriesTotal))
        return ArchiveScanOutcome::OtherDisks;
    // Where the directory reader would read it: where it really is when found there, else where the
    // end record says, so a damaged directory still gives the entries before the damage.
    const DirectoryLocation location = locateDirectory(file, end);
    const bool located = location.fit != DirectoryLocation::Fit::None;
    file.seek(located ? location.start : fields.directoryOffset);
    const uint64_t entries = located ? location.entriesTotal : fields.entriesTotal;
    for (uint64_t entry = 0; entry < entries; ++entry) {
        if (!scanCentralHeader(file, criteria, lines))
            return ArchiveScanOutcome::Truncated;
    }
    return ArchiveScanOutcome::Complete;
}

} // namespace quarvo
