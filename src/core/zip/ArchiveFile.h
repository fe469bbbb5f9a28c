#pragma once

#include "core/zip/ByteSource.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quarvo {

// An archive file opened for reading, with a position for sequential reads through a bounded
// buffer (so a directory of 100,000 records costs a few dozen system calls, not 300,000) and
// positioned reads for the end record search. Closed with the object or by close().
class ArchiveFile : public ByteSource {
  public:
    // Opens path for reading at position 0; fails with the reason it cannot be opened.
    Result<Ok, OpenError> open(const std::string& path);
    void close();
    bool isOpen() const { return m_source.has_value(); }
    int descriptor() const { return m_source ? m_source->descriptor() : -1; }

    uint64_t size() const override { return m_source ? m_source->size() : 0; }
    size_t readAt(uint64_t offset, std::span<uint8_t> into) override;

    // Moves the sequential position; a position past the end makes the next read return 0.
    void seek(uint64_t position);
    uint64_t position() const { return m_position; }
    // Reads up to into.size() bytes at the position and advances it; fewer only at the end.
    size_t read(std::span<uint8_t> into);
    // Advances the position by count bytes; returns how many were there to skip.
    uint64_t skip(uint64_t count);

  private:
    static constexpr size_t BufferSize = 64 * 1024;
    std::optional<FileByteSource> m_source;
    uint64_t m_position = 0;
    std::vector<uint8_t> m_buffer;
    uint64_t m_bufferStart = 0;
};

} // namespace quarvo
