#pragma once

#include "engines/common/Destination.h"
#include "engines/dunzip/EntryReading.h"
#include "engines/dunzip/WorkerPool.h"

#include <atomic>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace quarvo {

// The data work of one entry, which any thread may do: reading and decoding its data into a file
// being written (then sealing the file), into memory (a link's target) or nowhere (a test). It
// calls back into nobody: a worker only counts the bytes made and stops when the run is cancelled;
// the thread that reports the entry tells its outcome and puts the file in place.
class EntryTask : public PooledTask {
  public:
    EntryTask(ByteSource& source, const ArchiveEntry& entry, std::string shown, const EntryReadSettings& settings,
              const std::atomic<bool>& cancelled);

    // Decodes into a new file named finalName in directory, which is then given mode and
    // modificationTime and closed.
    void writeInto(PendingFile::SharedDirectory directory, std::string finalName, mode_t mode,
                   const struct timespec& modificationTime);
    // Keeps the decoded bytes in memory.
    void keepInMemory() { m_inMemory = true; }

    // Runs a task the calling thread claimed, with progress told of every block of bytes made.
    void runHere(const DecodeProgress& progress);
    // Runs a task the calling thread claimed as a worker would, telling nobody.
    void runQuietly();
    // The bytes made so far, for a thread that reports progress while a worker decodes.
    uint64_t bytesOut() const { return m_bytesOut.load(std::memory_order_relaxed); }

    // Whether a worker ran out of memory: the thread that reports the entry raises it again, as if
    // it had decoded the entry itself, for dunzip to end the run with OutOfMemory.
    bool ranOutOfMemory() const { return m_outOfMemory; }

    // The outcome, the bytes kept in memory and the sealed file: for after the task is done.
    EntryReadOutcome& outcome() { return m_outcome; }
    const std::string& bytes() const { return m_bytes; }
    std::optional<PendingFile>& file() { return m_file; }

  protected:
    void runOnWorker() override;

  private:
    void run(const DecodeProgress& progress);

    ByteSource& m_source;
    const ArchiveEntry& m_entry;
    const std::string m_shown;
    const EntryReadSettings m_settings;
    const std::atomic<bool>& m_cancelled;
    PendingFile::SharedDirectory m_directory;
    std::string m_finalName;
    std::optional<PendingFile> m_file;
    mode_t m_mode = 0;
    struct timespec m_modificationTime {};
    bool m_inMemory = false;
    bool m_outOfMemory = false;
    std::atomic<uint64_t> m_bytesOut{0};
    EntryReadOutcome m_outcome;
    std::string m_bytes;
};

} // namespace quarvo
