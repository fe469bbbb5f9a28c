// PPMd entries (method 98, PPMd variant I revision 1, as 7-Zip and WinZip write them), decoded by
// libarchive's ZIP reader, the one PPMd decoder at hand. It reads ZIP archives, not bare streams, so
// the decoder hands it a local header of its own making for the one entry (sizes as the directory
// declares them, no CRC-32, a name of its own, no encryption), then the entry's bytes as they
// come out of the entry's data stream, already decrypted. libarchive parses nothing else of the
// archive and writes nothing; the data it decodes comes back here and is checked like any other, so
// libarchive's own CRC check is off.

#include "core/zip/ZipFormat.h"
#include "core/zip/ZipRecords.h"
#include "engines/dunzip/MethodDecoder.h"

#include <archive.h>
#include <archive_entry.h>

#include <vector>

namespace quarvo {

namespace {

constexpr size_t PieceSize = 64 * 1024;
// The version 7-Zip writes for PPMd entries.
constexpr uint16_t PpmdVersionNeeded = 63;

struct ArchiveReadFree {
    void operator()(archive* handle) const { archive_read_free(handle); }
};

// What libarchive reads: the made-up local header, then the entry's data.
struct Feed {
    std::vector<uint8_t> header;
    bool headerGiven = false;
    EntryDataStream& input;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(PieceSize);
    std::optional<DecodeStatus> readFailure{};
};

la_ssize_t readFeed(archive*, void* data, const void** bytes)
{
    Feed& feed = *static_cast<Feed*>(data);
    if (!feed.headerGiven) {
        feed.headerGiven = true;
        *bytes = feed.header.data();
        return static_cast<la_ssize_t>(feed.header.size());
    }
    std::optional<size_t> count = feed.input.read(feed.buffer);
    if (!count) {
        feed.readFailure = feed.input.failure();
        return ARCHIVE_FATAL;
    }
    *bytes = feed.buffer.data();
    return static_cast<la_ssize_t>(*count);
}

class PpmdDecoder : public MethodDecoder {
  public:
    explicit PpmdDecoder(uint64_t uncompressedSize) : m_uncompressedSize(uncompressedSize) {}

    DecodeStatus decode(EntryDataStream& input, const DecodedOutput& output) override
    {
        // The made-up header has 32-bit sizes only.
        if (input.remaining() >= zipformat::Max32 || m_uncompressedSize >= zipformat::Max32)
            return DecodeStatus::Unsupported;
        Feed feed{.header = localHeader(input.remaining()), .input = input};
        std::unique_ptr<archive, ArchiveReadFree> reader(archive_read_new());
        // The CRC-32 is checked where every method's is, and AE-2 entries have none to check here.
        if (!reader || archive_read_support_format_zip_streamable(reader.get()) != ARCHIVE_OK ||
            archive_read_set_options(reader.get(), "zip:ignorecrc32") != ARCHIVE_OK ||
            archive_read_open(reader.get(), &feed, nullptr, readFeed, nullptr) != ARCHIVE_OK)
            return DecodeStatus::MemoryLimit;
        archive_entry* entry = nullptr;
        if (archive_read_next_header(reader.get(), &entry) < ARCHIVE_WARN)
            return feed.readFailure.value_or(DecodeStatus::Corrupt);
        std::vector<uint8_t> piece(PieceSize);
        for (;;) {
            const la_ssize_t count = archive_read_data(reader.get(), piece.data(), piece.size());
            if (count == 0)
                return DecodeStatus::Ok;
            if (count < 0)
                return feed.readFailure.value_or(DecodeStatus::Corrupt);
            if (DecodeStatus status =
                    output(std::span<const uint8_t>(piece).first(static_cast<size_t>(count)));
                status != DecodeStatus::Ok)
                return status;
        }
    }

  private:
    std::vector<uint8_t> localHeader(uint64_t compressedSize) const
    {
        LocalHeaderFields fields;
        fields.versionNeeded = PpmdVersionNeeded;
        fields.method = zipformat::method::Ppmd;
        fields.compressedSize = static_cast<uint32_t>(compressedSize);
        fields.uncompressedSize = static_cast<uint32_t>(m_uncompressedSize);
        std::vector<uint8_t> header;
        appendLocalHeader(header, fields, "entry");
        return header;
    }

    uint64_t m_uncompressedSize;
};

} // namespace

std::unique_ptr<MethodDecoder> makePpmdDecoder(uint64_t uncompressedSize)
{
    return std::make_unique<PpmdDecoder>(uncompressedSize);
}

} // namespace quarvo
