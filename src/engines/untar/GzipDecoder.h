#pragma once

#include "engines/untar/ByteStream.h"

#include <zlib.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quarvo {

// The unpacked data of a GZIP file (RFC 1952), decoded with zlib. Every member is read, one after the
// other, and each member's CRC-32 and length are checked against its trailer. The header's stored
// file name is never looked at. After the last member, zero bytes are accepted silently (tape
// drives and block-padding writers leave them); anything else is ignored with a warning.
//
// libarchive reads GZIP too, but checks neither the CRC-32 nor the length of a member and passes
// over data after the last member without a word, so this stream takes its place for GZIP.
class GzipDecoder final : public ByteStream {
  public:
    using Warn = std::function<void(const std::string&)>;

    // warn receives each warning, a sentence without its final full stop.
    GzipDecoder(std::unique_ptr<ByteStream> source, Warn warn);
    ~GzipDecoder() override;
    GzipDecoder(const GzipDecoder&) = delete;
    GzipDecoder& operator=(const GzipDecoder&) = delete;

    Result<std::span<const uint8_t>, StreamError> read() override;
    uint64_t filePosition() const override { return m_source->filePosition(); }
    uint64_t fileSize() const override { return m_source->fileSize(); }

  private:
    enum class State { InMember, BetweenMembers, Finished };

    // Refills m_input from the source when it is used up; false at the source's end.
    Result<bool, StreamError> haveInput();
    // One inflate step of the current member into the output buffer.
    std::optional<StreamError> inflateStep();
    // At the end of a member: starts the next one, or looks at what follows the last one.
    std::optional<StreamError> afterMember();
    StreamError zlibError() const;

    std::unique_ptr<ByteStream> m_source;
    Warn m_warn;
    z_stream m_zlib{};
    State m_state = State::InMember;
    std::span<const uint8_t> m_input;
    std::vector<uint8_t> m_output;
    uint32_t m_member = 1;
    // An error met after some good bytes were decoded: those are handed out first, so the reader
    // sees the failure exactly where the good data ends.
    std::optional<StreamError> m_pendingError;
};

} // namespace quarvo
