#include "engines/dzip/CompressionPool.h"

#include <chrono>

namespace quarvo {

CompressionPool::CompressionPool(unsigned workerCount, EncodingOptions options)
    : m_options(std::move(options))
{
    for (unsigned i = 0; i < workerCount; ++i)
        m_workers.emplace_back([this] { work(); });
}

CompressionPool::~CompressionPool()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_queued.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

std::shared_ptr<CompressionPool::Job> CompressionPool::submit(std::string path, uint64_t size)
{
    auto job = std::make_shared<Job>();
    job->path = std::move(path);
    job->size = size;
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(job);
    }
    m_queued.notify_one();
    return job;
}

bool CompressionPool::wait(const Job& job, const std::function<bool()>& idle)
{
    std::unique_lock lock(m_mutex);
    while (!job.done) {
        m_finished.wait_for(lock, std::chrono::milliseconds(10));
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

void CompressionPool::work()
{
    BufferEncoder encoder;
    while (true) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(m_mutex);
            m_queued.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
        }
        std::vector<uint8_t> bytes;
        std::string error;
        const bool ok = readWholeFile(job->path, job->size, bytes, error);
        EncodedData data;
        if (ok)
            data = encoder.encode(std::move(bytes), m_options);
        {
            std::lock_guard lock(m_mutex);
            job->ok = ok;
            job->error = std::move(error);
            job->data = std::move(data);
            job->done = true;
        }
        m_finished.notify_all();
    }
}

} // namespace quarvo
