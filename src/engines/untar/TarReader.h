#pragma once

#include "engines/untar/ByteStream.h"
#include "engines/untar/LibarchiveHandle.h"

#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace quarvo {

// One entry's header, as libarchive parsed it from ustar, pax, GNU (long names, sparse files) or v7.
struct TarHeader {
    std::string name;       // the stored path, bytes as stored ("/" separated)
    std::string linkTarget; // a symbolic or hard link's target, else empty
    uint32_t type = 0;      // TarEntryType
    uint64_t size = 0;      // a sparse file's full size
    uint32_t mode = 0;      // file type and permission bits
    struct timespec modificationTime {};
};

enum class TarProblem {
    NotTar,        // the data does not begin with a TAR header
    DamagedHeader, // a header after the first is damaged and no good one follows
    Truncated,     // the archive ends inside an entry's header or data
    Stream,        // the unpacked data could not be read (see stream)
    Unreadable,    // libarchive refused an entry for another reason (see detail)
};

struct TarError {
    TarProblem problem = TarProblem::Unreadable;
    std::string detail; // libarchive's words, for the user
    StreamError stream; // when problem is Stream
};

// What next() found: an entry, or the end; and how many damaged headers were passed over before it
// (tar's "skipping to next header"), so the caller can say where the damage lies.
struct TarStep {
    std::optional<TarHeader> entry;
    uint32_t damagedHeadersSkipped = 0;
};

// Reads the headers and data of a TAR archive from a stream of unpacked bytes, through libarchive's
// TAR format reader (and no filter: the stream is unpacked already). Memory stays bounded whatever
// the entries' sizes: data is handed out block by block, never held whole. Names come as stored;
// the engine runs under a UTF-8 locale (Utf8ThreadLocale), so libarchive hands pax names out as
// their UTF-8 bytes and the names of the older formats unchanged.
class TarReader {
  public:
    explicit TarReader(ByteStream& source);

    // The next entry, or the end of the archive. Unread data of the previous entry is passed over
    // (by seeking when the stream can).
    Result<TarStep, TarError> next();

    // Hands the current entry's data to sink, block by block with its offset in the file (a gap
    // between blocks is a hole of a sparse file). sink returns false to stop, which readData then
    // returns as true in its value ("stopped"); otherwise false once all data was handed out.
    using DataSink = std::function<bool(uint64_t offset, std::span<const uint8_t> bytes)>;
    Result<bool, TarError> readData(const DataSink& sink);

  private:
    static la_ssize_t readSource(archive* handle, void* self, const void** buffer);
    static la_int64_t skipSource(archive* handle, void* self, la_int64_t request);
    std::optional<TarError> open();
    // The error libarchive reports now, as a problem its words name, or otherwise.
    TarError errorNow(TarProblem otherwise) const;

    ByteStream& m_source;
    ArchiveReadPointer m_archive;
    bool m_opened = false;
    std::optional<StreamError> m_sourceError;
};

} // namespace quarvo
