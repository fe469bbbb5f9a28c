#pragma once

#include "engines/dzip/EntryEncoder.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quarvo {

// A few worker threads that read and encode whole files ahead of the writer, which takes the results
// in the order it asked for them. Workers never call back into the caller; the caller's thread waits
// in wait(), where it keeps its callbacks alive.
class CompressionPool {
  public:
    struct Job {
        std::string path;
        uint64_t size = 0;
        bool done = false;
        bool ok = false;
        std::string error;
        EncodedData data;
    };

    CompressionPool(unsigned workerCount, EncodingOptions options);
    // Stops the workers; jobs not started are dropped. A job being encoded cannot be interrupted
    // (a whole file of up to tens of MiB at the strongest level takes seconds), so when one is,
    // its worker is left to finish and drop it on its own: a cancel returns at once.
    ~CompressionPool();
    CompressionPool(const CompressionPool&) = delete;
    CompressionPool& operator=(const CompressionPool&) = delete;

    // Queues a file; the returned job stays valid until release().
    std::shared_ptr<Job> submit(std::string path, uint64_t size);
    // Waits for the job, calling idle() every few milliseconds meanwhile. Returns false as soon as
    // idle() does.
    bool wait(const Job& job, const std::function<bool()>& idle);

  private:
    // What the workers share with the pool; they keep it alive while they finish a last job
    // after the pool is gone.
    struct Shared {
        EncodingOptions options;
        std::mutex mutex;
        std::condition_variable queued;
        std::condition_variable finished;
        std::deque<std::shared_ptr<Job>> queue;
        bool stopping = false;
        unsigned busyWorkers = 0;
    };

    static void work(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared;
    std::vector<std::thread> m_workers;
};

} // namespace quarvo
