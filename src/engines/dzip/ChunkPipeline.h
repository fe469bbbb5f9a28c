#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quarvo {

// Reads the pieces of one file and deflates them on worker threads, while the caller writes the
// finished ones, which it takes back in the order it gave them; each piece's CRC-32 is taken on
// the worker too. At level 0 the workers only read and take the CRC, so reading and writing
// still overlap. Workers never call back into the caller.
class ChunkPipeline {
  public:
    struct Piece {
        uint64_t offset = 0; // in the file
        size_t size = 0;
        bool last = false; // the stream's last piece, which ends it
        // Filled by the worker: the bytes read (fewer than size when the file shrank) and their CRC.
        std::vector<uint8_t> input;
        uint32_t crc32 = 0;
        int readError = 0; // errno of a failed read
        std::vector<uint8_t> output; // the deflated piece; empty at level 0
        bool outOfMemory = false;
    };

    // Reads from descriptor, which stays open while the pipeline lives.
    ChunkPipeline(int descriptor, int level, unsigned workerCount);
    // Stops the workers; pieces not started are dropped, and the few being deflated are finished
    // first (a piece takes a fraction of a second).
    ~ChunkPipeline();
    ChunkPipeline(const ChunkPipeline&) = delete;
    ChunkPipeline& operator=(const ChunkPipeline&) = delete;

    void push(std::unique_ptr<Piece> piece);
    // Waits for the oldest piece pushed and hands it back, its output appended; null when none is left.
    std::unique_ptr<Piece> pop();
    size_t inFlight() const;

  private:
    struct Slot {
        std::unique_ptr<Piece> piece;
        bool started = false;
        bool done = false;
    };

    void work(int level);
    void readPiece(Piece& piece) const;
    Slot* nextToStart();

    mutable std::mutex m_mutex;
    std::condition_variable m_queued;
    std::condition_variable m_finished;
    std::deque<std::unique_ptr<Slot>> m_slots; // in the order pushed
    bool m_stopping = false;
    int m_descriptor;
    std::vector<std::thread> m_workers;
};

} // namespace quarvo
