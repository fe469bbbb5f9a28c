#pragma once

#include "engines/untar/ByteStream.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace quarvo {

// Decodes ahead on a thread of its own: while the reader parses headers and writes files, the next
// blocks are being unpacked on the other core. At most a few blocks wait at a time, so memory stays
// bounded. Everything the source says reaches the reader in order and on the reader's thread: its
// bytes, its error where the good bytes end, and the warnings it gave on the way (the decoder's warn
// function is to call the one this stream hands out, which queues them).
class PrefetchStream final : public ByteStream {
  public:
    using Warn = std::function<void(const std::string&)>;

    // forward is called on the reader's thread with every warning the source gave.
    explicit PrefetchStream(Warn forward);
    ~PrefetchStream() override;
    PrefetchStream(const PrefetchStream&) = delete;
    PrefetchStream& operator=(const PrefetchStream&) = delete;

    // The function to give the source as its warn function, called on the decoding thread.
    Warn queueingWarn();
    // Starts decoding source ahead; call once, before the first read.
    void start(std::unique_ptr<ByteStream> source);

    Result<std::span<const uint8_t>, StreamError> read() override;
    uint64_t filePosition() const override { return m_position; }
    uint64_t fileSize() const override { return m_size; }

  private:
    struct Block {
        std::vector<uint8_t> bytes; // empty at the end
        std::optional<StreamError> error;
        std::vector<std::string> warnings;
        uint64_t filePosition = 0;
    };

    void decodeAhead();

    Warn m_forward;
    std::unique_ptr<ByteStream> m_source;
    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Block> m_ready;
    std::vector<std::string> m_pendingWarnings; // given since the last block, on the decoding thread
    bool m_stop = false;
    bool m_finished = false; // the reader has taken the end or an error
    Block m_current;         // the block the reader's span points into
    uint64_t m_position = 0;
    uint64_t m_size = 0;
};

} // namespace quarvo
