#pragma once

#include "engines/untar/ByteStream.h"

#include <memory>
#include <vector>

namespace quarvo {

// A stream whose first bytes have been looked at already: it hands them out again, then the rest of
// the stream it was made from. That is how the engine tells a stream's kind by its first bytes and
// still reads every byte once, from a pipe as from a file.
class ReplayStream final : public ByteStream {
  public:
    // Reads from source until at least count bytes are at hand (fewer at its end) and keeps them
    // for replay; the error is the source's.
    static Result<std::unique_ptr<ReplayStream>, StreamError> lookAhead(std::unique_ptr<ByteStream> source,
                                                                        size_t count);

    // The bytes looked at: at least the count asked for, unless the stream is shorter.
    std::span<const uint8_t> head() const { return m_head; }

    Result<std::span<const uint8_t>, StreamError> read() override;
    uint64_t skip(uint64_t count) override;
    uint64_t filePosition() const override { return m_source->filePosition(); }
    uint64_t fileSize() const override { return m_source->fileSize(); }

  private:
    explicit ReplayStream(std::unique_ptr<ByteStream> source) : m_source(std::move(source)) {}

    std::unique_ptr<ByteStream> m_source;
    std::vector<uint8_t> m_head;
    bool m_replayed = false;
    bool m_sourceEnded = false;
};

} // namespace quarvo
