#include "engines/dzip/CompressionPool.h"

#include <chrono>

namespace quarvo {

CompressionPool::CompressionPool(unsigned workerCount, EncodingOptions options)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->options = std::move(options);
    for (unsigned i = 0; i < workerCount; ++i)
        m_workers.emplace_back(work, m_shared);
}

CompressionPool::~CompressionPool()
{
    bool busy;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->stopping = true;
        m_shared->queue.clear();
        busy = m_shared->busyWorkers > 0;
    }
    m_shared->queued.notify_all();
    for (std::thread& worker : m_workers) {
        if (busy)
            worker.detach();
        else
            worker.join();
    }
}

std::shared_ptr<CompressionPool::Job> CompressionPool::submit(std::string path, uint64_t size)
{
    auto job = std::make_shared<Job>();
    job->path = std::move(path);
    job->size = size;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->queue.push_back(job);
    }
    m_shared->queued.notify_one();
    return job;
}

bool CompressionPool::wait(const Job& job, const std::function<bool()>& idle)
{
    std::unique_lock lock(m_shared->mutex);
    while (!job.done) {
        m_shared->finished.wait_for(lock, std::chrono::milliseconds(10));
        if (job.done)
            break;
        lock.unlock();
        const bool goOn = idle();
        lock.lock();
        if (!goOn)
            return false;
    }
    return true;
}

void CompressionPool::work(std::shared_ptr<Shared> shared)
{
    BufferEncoder encoder;
    while (true) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(shared->mutex);
            shared->queued.wait(lock, [&] { return shared->stopping || !shared->queue.empty(); });
            if (shared->stopping)
                return;
            job = std::move(shared->queue.front());
            shared->queue.pop_front();
            ++shared->busyWorkers;
        }
        std::vector<uint8_t> bytes;
        std::string error;
        bool ok = readWholeFile(job->path, job->size, bytes, error);
        EncodedData data;
        if (ok) {
            Result<EncodedData> encoded = encoder.encode(std::move(bytes), shared->options);
            ok = encoded.ok();
            if (ok)
                data = std::move(encoded).value();
            else
                error = encoded.error().message;
        }
        {
            std::lock_guard lock(shared->mutex);
            --shared->busyWorkers;
            job->ok = ok;
            job->error = std::move(error);
            job->data = std::move(data);
            job->done = true;
        }
        shared->finished.notify_all();
    }
}

} // namespace quarvo
