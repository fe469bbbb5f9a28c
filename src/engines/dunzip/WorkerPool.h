#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quarvo {

// A piece of work that exactly one thread does: a worker of the pool, or the thread that needs the
// result before any worker took it up.
class PooledTask {
  public:
    virtual ~PooledTask() = default;

    // Takes the task for the calling thread; false when another thread has taken it.
    bool claim();
    // Tells the waiters that the thread that claimed the task is done with it.
    void markDone();
    // Waits up to timeout for the task to be done; true when it is.
    bool waitDone(std::chrono::milliseconds timeout);
    // Waits until the task is done, whoever runs it.
    void waitDone();
    // Whether the task is done, without waiting.
    bool isDone() const { return m_state.load(std::memory_order_acquire) == State::Done; }

  protected:
    friend class WorkerPool;
    // The work, run by a worker that claimed the task.
    virtual void runOnWorker() = 0;

  private:
    enum class State { Waiting, Running, Done };
    std::atomic<State> m_state{State::Waiting};
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

// A fixed number of threads that run submitted tasks in the order given. Destroying the pool waits
// for the tasks being run and leaves the others unrun.
//
// The thread that submits has work of its own between tasks, so one worker holds back while it
// works: a pool with a worker per core would otherwise take turns with it on the cores, and the
// submitting thread, which feeds every worker, would fall behind. While it waits for a task
// (callerWaits), every worker runs.
class WorkerPool {
  public:
    explicit WorkerPool(unsigned threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues a task that weighs about weight bytes of work. Waking a worker costs two system calls
    // and a switch between threads, more than a small file's work, so idle workers are woken only
    // once the tasks queued since the last wake weigh enough, or when wake() is called.
    void submit(std::shared_ptr<PooledTask> task, uint64_t weight);
    // Wakes an idle worker for whatever is queued.
    void wake();
    // Tells the pool whether the submitting thread is waiting, so that its core may run a worker.
    void callerWaits(bool waiting);

  private:
    void serve();
    // Whether a waiting worker may take up a queued task now; called with the mutex held.
    bool mayRunAnother() const;

    const unsigned m_workerCount;
    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::deque<std::shared_ptr<PooledTask>> m_queue;
    bool m_stopping = false;
    unsigned m_waiting = 0; // workers waiting for a task
    unsigned m_running = 0; // workers running a task
    bool m_callerWaiting = false;
    uint64_t m_unannounced = 0; // the weight queued since workers were last woken
    std::vector<std::thread> m_threads;
};

// How many threads decode entries besides the caller's: QUARVO_UNZIP_THREADS minus one when it is
// set (1 does everything on the caller's thread, as tests compare), otherwise one per processor, at
// most four.
unsigned extraDecodingThreads();

} // namespace quarvo
