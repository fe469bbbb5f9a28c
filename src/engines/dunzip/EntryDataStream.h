#pragma once

#include "core/zip/ByteSource.h"
#include "engines/dunzip/DecodeStatus.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace quarvo {

// Why a read of length bytes at offset gave fewer. A source never reads past its end, so a read that
// reaches beyond it means the archive ends inside the entry's data; anywhere else the read failed.
DecodeStatus shortReadStatus(const ByteSource& source, uint64_t offset, uint64_t length);

// An entry's compressed bytes, read in order from the archive and decrypted on the way when the
// entry is encrypted. Never reads beyond the length it was given.
class EntryDataStream {
  public:
    // Decrypts bytes in place, in order; empty for data that is not encrypted.
    using Decrypt = std::function<void(std::span<uint8_t>)>;

    EntryDataStream(ByteSource& source, uint64_t offset, uint64_t length, Decrypt decrypt = {})
        : m_source(source), m_offset(offset), m_remaining(length), m_decrypt(std::move(decrypt))
    {
    }

    // Reads up to into.size() bytes; returns how many, 0 at the end; nothing when the source gave
    // fewer, with failure() saying why.
    std::optional<size_t> read(std::span<uint8_t> into);

    uint64_t remaining() const { return m_remaining; }
    // Why the last read gave nothing: Truncated or ReadError.
    DecodeStatus failure() const { return m_failure; }

  private:
    ByteSource& m_source;
    uint64_t m_offset;
    uint64_t m_remaining;
    Decrypt m_decrypt;
    DecodeStatus m_failure = DecodeStatus::ReadError;
};

} // namespace quarvo
