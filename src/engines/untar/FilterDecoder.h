#pragma once

#include "engines/untar/ByteStream.h"
#include "engines/untar/LibarchiveHandle.h"

#include <memory>
#include <optional>

namespace quarvo {

// The unpacked data of a compress (LZW), BZIP2, XZ, Zstandard or LZIP stream, decoded by libarchive's
// filter of that one kind over libarchive's "raw" format (which hands the unpacked bytes out as they
// are). Only the one filter is registered, so the kind is exactly the one the signature named and
// no other decoder, let alone an outside program, is ever started on the data.
class FilterDecoder final : public ByteStream {
  public:
    // type is a StreamType other than Plain and Gzip.
    static Result<std::unique_ptr<FilterDecoder>, StreamError> open(std::unique_ptr<ByteStream> source,
                                                                    uint32_t type);

    Result<std::span<const uint8_t>, StreamError> read() override;
    uint64_t filePosition() const override { return m_source->filePosition(); }
    uint64_t fileSize() const override { return m_source->fileSize(); }

  private:
    FilterDecoder(std::unique_ptr<ByteStream> source, uint32_t type);
    static la_ssize_t readSource(archive* handle, void* self, const void** buffer);
    StreamError libarchiveError() const;

    std::unique_ptr<ByteStream> m_source;
    uint32_t m_type;
    ArchiveReadPointer m_archive;
    // Why the source could not be read, when that is what stopped libarchive.
    std::optional<StreamError> m_sourceError;
    bool m_ended = false;
};

} // namespace quarvo
