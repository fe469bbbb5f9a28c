#include "engines/untar/PrefetchStream.h"

namespace quarvo {

namespace {

// Blocks decoded ahead at most: enough to keep the other core busy through a burst of small files,
// few enough that memory stays a few MiB whatever the archive.
constexpr size_t BlocksAhead = 8;

} // namespace

PrefetchStream::PrefetchStream(Warn forward) : m_forward(std::move(forward)) {}

PrefetchStream::~PrefetchStream()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

PrefetchStream::Warn PrefetchStream::queueingWarn()
{
    // Called on the decoding thread only, from inside the source's read, where no lock is held.
    return [this](const std::string& warning) { m_pendingWarnings.push_back(warning); };
}

void PrefetchStream::start(std::unique_ptr<ByteStream> source)
{
    m_source = std::move(source);
    m_size = m_source->fileSize();
    m_worker = std::thread([this] { decodeAhead(); });
}

void PrefetchStream::decodeAhead()
{
    for (;;) {
        Block block;
        Result<std::span<const uint8_t>, StreamError> chunk = m_source->read();
        if (chunk)
            block.bytes.assign(chunk->begin(), chunk->end());
        else
            block.error = chunk.error();
        block.warnings = std::move(m_pendingWarnings);
        m_pendingWarnings.clear();
        block.filePosition = m_source->filePosition();
        const bool last = !chunk || chunk->empty();
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stop || m_ready.size() < BlocksAhead; });
        if (m_stop)
            return;
        m_ready.push_back(std::move(block));
        m_changed.notify_all();
        if (last)
            return;
    }
}

Result<std::span<const uint8_t>, StreamError> PrefetchStream::read()
{
    if (m_finished)
        return std::span<const uint8_t>();
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_ready.empty(); });
        m_current = std::move(m_ready.front());
        m_ready.pop_front();
    }
    m_changed.notify_all();
    m_position = m_current.filePosition;
    if (m_forward) {
        for (const std::string& warning : m_current.warnings)
            m_forward(warning);
    }
    if (m_current.error) {
        m_finished = true;
        return *m_current.error;
    }
    if (m_current.bytes.empty())
        m_finished = true;
    return std::span<const uint8_t>(m_current.bytes);
}

} // namespace quarvo
