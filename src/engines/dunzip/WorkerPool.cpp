#include "engines/dunzip/WorkerPool.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace quarvo {

namespace {

// More threads than this only wait on each other for the archive and the destination directory.
constexpr unsigned MostDecodingThreads = 4;
// Idle workers are woken once this much work is queued: a few small files, or one larger one.
constexpr uint64_t WakeWeight = 512 * 1024;

} // namespace

bool PooledTask::claim()
{
    State expected = State::Waiting;
    return m_state.compare_exchange_strong(expected, State::Running);
}

void PooledTask::markDone()
{
    {
        std::lock_guard lock(m_mutex);
        m_state = State::Done;
    }
    m_changed.notify_all();
}

bool PooledTask::waitDone(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_state == State::Done; });
}

void PooledTask::waitDone()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_state == State::Done; });
}

WorkerPool::WorkerPool(unsigned threads) : m_workerCount(threads)
{
    m_threads.reserve(threads);
    for (unsigned i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { serve(); });
}

WorkerPool::~WorkerPool()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_queued.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void WorkerPool::submit(std::shared_ptr<PooledTask> task, uint64_t weight)
{
    bool wakeOne = false;
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(task));
        m_unannounced += weight;
        wakeOne = m_waiting > 0 && m_unannounced >= WakeWeight && mayRunAnother();
        if (wakeOne)
            m_unannounced = 0;
    }
    if (wakeOne)
        m_queued.notify_one();
}

void WorkerPool::wake()
{
    bool wakeOne = false;
    {
        std::lock_guard lock(m_mutex);
        wakeOne = m_waiting > 0 && !m_queue.empty() && mayRunAnother();
        m_unannounced = 0;
    }
    if (wakeOne)
        m_queued.notify_one();
}

void WorkerPool::callerWaits(bool waiting)
{
    bool wakeOne = false;
    {
        std::lock_guard lock(m_mutex);
        m_callerWaiting = waiting;
        wakeOne = waiting && m_waiting > 0 && !m_queue.empty() && mayRunAnother();
    }
    if (wakeOne)
        m_queued.notify_one();
}

bool WorkerPool::mayRunAnother() const
{
    const unsigned allowed = m_callerWaiting || m_workerCount == 1 ? m_workerCount : m_workerCount - 1;
    return m_running < allowed;
}

void WorkerPool::serve()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_waiting;
        m_queued.wait(lock, [this] { return m_stopping || (!m_queue.empty() && mayRunAnother()); });
        --m_waiting;
        if (m_stopping)
            return;
        std::shared_ptr<PooledTask> task = std::move(m_queue.front());
        m_queue.pop_front();
        ++m_running;
        lock.unlock();
        // The caller may have taken the task first because it needed the result.
        if (task->claim()) {
            task->runOnWorker();
            task->markDone();
        }
        task.reset();
        lock.lock();
        --m_running;
    }
}

unsigned extraDecodingThreads()
{
    if (const char* setting = std::getenv("QUARVO_UNZIP_THREADS")) {
        const unsigned long threads = std::strtoul(setting, nullptr, 10);
        return static_cast<unsigned>(std::clamp<unsigned long>(threads, 1, MostDecodingThreads)) - 1;
    }
    return std::clamp(std::thread::hardware_concurrency(), 1u, MostDecodingThreads);
}

} // namespace quarvo
