#include "engines/dunzip/EntryTask.h"

#include "engines/api/EngineResult.h"

#include <new>

namespace quarvo {

EntryTask::EntryTask(ByteSource& source, const ArchiveEntry& entry, std::string shown,
                     const EntryReadSettings& settings, const std::atomic<bool>& cancelled)
    : m_source(source), m_entry(entry), m_shown(std::move(shown)), m_settings(settings), m_cancelled(cancelled)
{
}

void EntryTask::writeInto(PendingFile::SharedDirectory directory, std::string finalName, mode_t mode,
                          const struct timespec& modificationTime)
{
    m_directory = std::move(directory);
    m_finalName = std::move(finalName);
    m_mode = mode;
    m_modificationTime = modificationTime;
}

void EntryTask::runHere(const DecodeProgress& progress)
{
    run(progress);
    markDone();
}

void EntryTask::runQuietly()
{
    runOnWorker();
    markDone();
}

void EntryTask::runOnWorker()
{
    // Nothing may escape a worker thread: it would end the process.
    try {
        run([this](uint64_t bytesOut) {
            m_bytesOut.store(bytesOut, std::memory_order_relaxed);
            return !m_cancelled.load(std::memory_order_relaxed);
        });
    } catch (const std::bad_alloc&) {
        m_outOfMemory = true;
        m_outcome.code = EngineResult::OutOfMemory;
    }
}

void EntryTask::run(const DecodeProgress& progress)
{
    if (m_cancelled.load(std::memory_order_relaxed)) {
        m_outcome.code = EngineResult::Cancelled;
        return;
    }
    if (m_directory) {
        Result<PendingFile> file = PendingFile::create(std::move(m_directory), m_finalName, m_mode);
        if (!file) {
            m_outcome.code = EngineResult::CannotCreate;
            m_outcome.messages.push_back("Cannot create " + m_shown + ": " + file.error().message + ".");
            return;
        }
        m_file.emplace(std::move(file).value());
    }
    const DecodeSink sink = [this](std::span<const uint8_t> bytes) {
        if (m_inMemory)
            m_bytes.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return !m_file || m_file->write(bytes);
    };
    m_outcome = readEntryData(m_source, m_entry, m_shown, m_settings, sink, progress);
    if (m_outcome.code != EngineResult::Ok || !m_file)
        return;
    Result<Ok> sealed = m_file->seal(m_mode, m_modificationTime);
    if (!sealed) {
        m_outcome.code = EngineResult::CannotCreate;
        m_outcome.messages.push_back("Cannot create " + m_shown + ": " + sealed.error().message + ".");
    }
}

} // namespace quarvo
