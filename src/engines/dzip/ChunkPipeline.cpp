#include "engines/dzip/ChunkPipeline.h"

#include "engines/dzip/DeflateChunkEncoder.h"
#include "engines/dzip/EntryEncoder.h"

#include <unistd.h>

#include <cerrno>
#include <new>

namespace quarvo {

ChunkPipeline::ChunkPipeline(int descriptor, int level, unsigned workerCount) : m_descriptor(descriptor)
{
    for (unsigned i = 0; i < workerCount; ++i)
        m_workers.emplace_back(&ChunkPipeline::work, this, level);
}

ChunkPipeline::~ChunkPipeline()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_queued.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

void ChunkPipeline::push(std::unique_ptr<Piece> piece)
{
    auto slot = std::make_unique<Slot>();
    slot->piece = std::move(piece);
    {
        std::lock_guard lock(m_mutex);
        m_slots.push_back(std::move(slot));
    }
    m_queued.notify_one();
}

std::unique_ptr<ChunkPipeline::Piece> ChunkPipeline::pop()
{
    std::unique_lock lock(m_mutex);
    if (m_slots.empty())
        return nullptr;
    m_finished.wait(lock, [&] { return m_slots.front()->done; });
    std::unique_ptr<Piece> piece = std::move(m_slots.front()->piece);
    m_slots.pop_front();
    return piece;
}

size_t ChunkPipeline::inFlight() const
{
    std::lock_guard lock(m_mutex);
    return m_slots.size();
}

void ChunkPipeline::readPiece(Piece& piece) const
{
    piece.input.resize(piece.size);
    piece.readError = 0;
    size_t done = 0;
    while (done < piece.size) {
        const ssize_t got = pread(m_descriptor, piece.input.data() + done, piece.size - done,
                                  static_cast<off_t>(piece.offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            piece.readError = errno;
        if (got <= 0)
            break;
        done += static_cast<size_t>(got);
    }
    piece.input.resize(done);
}

ChunkPipeline::Slot* ChunkPipeline::nextToStart()
{
    for (const std::unique_ptr<Slot>& slot : m_slots) {
        if (!slot->started)
            return slot.get();
    }
    return nullptr;
}

void ChunkPipeline::work(int level)
{
    DeflateChunkEncoder encoder(level);
    while (true) {
        Slot* slot;
        {
            std::unique_lock lock(m_mutex);
            m_queued.wait(lock, [&] { return m_stopping || nextToStart(); });
            if (m_stopping)
                return;
            slot = nextToStart();
            slot->started = true;
        }
        // Only this worker touches the piece until it is marked done.
        Piece& piece = *slot->piece;
        piece.output.clear();
        try {
            readPiece(piece);
            piece.crc32 = updateCrc32(0, piece.input.data(), piece.input.size());
            if (level > 0 && piece.readError == 0 && piece.input.size() == piece.size)
                piece.outOfMemory = !encoder.encode(piece.input, piece.last, piece.output);
        } catch (const std::bad_alloc&) {
            piece.outOfMemory = true;
        }
        {
            std::lock_guard lock(m_mutex);
            slot->done = true;
        }
        m_finished.notify_all();
    }
}

} // namespace quarvo
