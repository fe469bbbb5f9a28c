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
    // Stops the workers; jobs not started are dropped.
    ~CompressionPool();
    CompressionPool(const CompressionPool&) = delete;
    CompressionPool& operator=(const CompressionPool&) = delete;

    // Queues a file; the returned job stays valid until release().
    std::shared_ptr<Job> submit(std::string path, uint64_t size);
    // Waits for the job, calling idle() every few milliseconds meanwhile. Returns false as soon as
    // idle() does.
    bool wait(const Job& job, const std::function<bool()>& idle);

  private:
    void work();

    EncodingOptions m_options;
    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::condition_variable m_finished;
    std::deque<std::shared_ptr<Job>> m_queue;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace quarvo
