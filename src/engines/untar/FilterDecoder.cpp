#include "engines/untar/FilterDecoder.h"

#include "engines/api/StreamRequest.h"
#include "engines/untar/StreamKinds.h"

#include <archive_entry.h>

#include <new>
#include <string_view>

namespace quarvo {

namespace {

int registerFilter(archive* handle, uint32_t type)
{
    switch (type) {
    case StreamType::Compress:
        return archive_read_support_filter_compress(handle);
    case StreamType::Bzip2:
        return archive_read_support_filter_bzip2(handle);
    case StreamType::Xz:
        return archive_read_support_filter_xz(handle);
    case StreamType::Zstandard:
        return archive_read_support_filter_zstd(handle);
    case StreamType::Lzip:
        return archive_read_support_filter_lzip(handle);
    default:
        return ARCHIVE_FATAL;
    }
}

int filterCodeOf(uint32_t type)
{
    switch (type) {
    case StreamType::Compress:
        return ARCHIVE_FILTER_COMPRESS;
    case StreamType::Bzip2:
        return ARCHIVE_FILTER_BZIP2;
    case StreamType::Xz:
        return ARCHIVE_FILTER_XZ;
    case StreamType::Zstandard:
        return ARCHIVE_FILTER_ZSTD;
    case StreamType::Lzip:
        return ARCHIVE_FILTER_LZIP;
    default:
        return ARCHIVE_FILTER_NONE;
    }
}

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

} // namespace

FilterDecoder::FilterDecoder(std::unique_ptr<ByteStream> source, uint32_t type)
    : m_source(std::move(source)), m_type(type), m_archive(archive_read_new())
{
    if (!m_archive)
        throw std::bad_alloc();
}

Result<std::unique_ptr<FilterDecoder>, StreamError> FilterDecoder::open(std::unique_ptr<ByteStream> source,
                                                                        uint32_t type)
{
    std::unique_ptr<FilterDecoder> decoder(new FilterDecoder(std::move(source), type));
    archive* handle = decoder->m_archive.get();
    // ARCHIVE_WARN would mean that libarchive lacks the library and would run an outside program
    // on the data instead: that is refused.
    if (registerFilter(handle, type) != ARCHIVE_OK)
        return StreamError{StreamProblem::Damaged,
                           std::string(streamTypeName(type)) + " data cannot be read by this build"};
    archive_read_support_format_raw(handle);
    archive_read_support_format_empty(handle);
    if (archive_read_open(handle, decoder.get(), nullptr, &FilterDecoder::readSource, nullptr) != ARCHIVE_OK)
        return decoder->libarchiveError();
    // Without the filter's own approval of the header (a stricter look than the signature's),
    // libarchive would hand out the compressed bytes themselves.
    if (archive_filter_count(handle) < 2 || archive_filter_code(handle, 0) != filterCodeOf(type))
        return StreamError{StreamProblem::Damaged,
                           "the " + std::string(streamTypeName(type)) + " header is damaged"};
    archive_entry* entry = nullptr;
    const int header = archive_read_next_header(handle, &entry);
    if (header == ARCHIVE_EOF)
        decoder->m_ended = true; // no unpacked data at all
    else if (header != ARCHIVE_OK)
        return decoder->libarchiveError();
    return decoder;
}

la_ssize_t FilterDecoder::readSource(archive* handle, void* self, const void** buffer)
{
    auto* decoder = static_cast<FilterDecoder*>(self);
    Result<std::span<const uint8_t>, StreamError> chunk = decoder->m_source->read();
    if (!chunk) {
        decoder->m_sourceError = chunk.error();
        archive_set_error(handle, EIO, "%s", chunk.error().detail.c_str());
        return -1;
    }
    *buffer = chunk->data();
    return static_cast<la_ssize_t>(chunk->size());
}

Result<std::span<const uint8_t>, StreamError> FilterDecoder::read()
{
    if (m_ended)
        return std::span<const uint8_t>();
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    const int result = archive_read_data_block(m_archive.get(), &block, &size, &offset);
    if (result == ARCHIVE_EOF) {
        m_ended = true;
        return std::span<const uint8_t>();
    }
    if (result != ARCHIVE_OK)
        return libarchiveError();
    if (size == 0) // raw hands out no empty blocks but at the end; never report an end early
        return read();
    return std::span<const uint8_t>(static_cast<const uint8_t*>(block), size);
}

StreamError FilterDecoder::libarchiveError() const
{
    if (m_sourceError)
        return *m_sourceError;
    const char* text = archive_error_string(m_archive.get());
    const std::string_view said = text ? text : "";
    const std::string kind(streamTypeName(m_type));
    // libarchive tells what went wrong only in words; the words it uses for a stream cut short and
    // for a failed check value pick the problem, anything else is damage.
    if (contains(said, "runcated") || contains(said, "premature end"))
        return {StreamProblem::Truncated, "the " + kind + " data ends early (the file is truncated)"};
    std::string detail = contains(said, "CRC") || contains(said, "check")
                             ? "the " + kind + " data fails its check"
                             : "the " + kind + " data is damaged";
    if (!said.empty())
        detail += " (" + std::string(said) + ")";
    return {contains(said, "CRC") || contains(said, "check") ? StreamProblem::Checksum
                                                             : StreamProblem::Damaged,
            detail};
}

} // namespace quarvo
