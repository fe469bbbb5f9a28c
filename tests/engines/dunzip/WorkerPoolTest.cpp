// The pool runs every task once, and keeps one worker back while the submitting thread works, so
// that it never shares its core: the submitting thread feeds the workers, and a run of small files
// slowed down by half when it had to take turns with them.
#include "engines/dunzip/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quarvo {
namespace {

using namespace std::chrono_literals;

// Heavy enough for the pool to wake a worker at once.
constexpr uint64_t HeavyTask = 64 * 1024 * 1024;

// Counts the tasks running at once and holds each until released.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    int running = 0;
    int started = 0;
    bool open = false;

    // Waits until started reaches count; false when it does not within a generous time.
    bool waitStarted(int count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 10s, [&] { return started >= count; });
    }
    void release()
    {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        changed.notify_all();
    }
};

class HeldTask : public PooledTask {
  public:
    explicit HeldTask(Gate& gate) : m_gate(gate) {}
    std::atomic<int> runs{0};

  protected:
    void runOnWorker() override
    {
        ++runs;
        std::unique_lock lock(m_gate.mutex);
        ++m_gate.running;
        ++m_gate.started;
        m_gate.changed.notify_all();
        m_gate.changed.wait(lock, [this] { return m_gate.open; });
        --m_gate.running;
    }

  private:
    Gate& m_gate;
};

TEST(WorkerPool, OneWorkerWaitsWhileTheCallerWorksAndRunsWhileItWaits)
{
    Gate gate;
    std::vector<std::shared_ptr<HeldTask>> tasks;
    {
        WorkerPool pool(2);
        for (int i = 0; i < 3; ++i) {
            tasks.push_back(std::make_shared<HeldTask>(gate));
            pool.submit(tasks.back(), HeavyTask);
        }
        ASSERT_TRUE(gate.waitStarted(1));
        // Given time, a second worker would have started by now; it must not while the caller works.
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(gate.started, 1);
        pool.callerWaits(true);
        ASSERT_TRUE(gate.waitStarted(2));
        pool.callerWaits(false);
        gate.release();
        for (const auto& task : tasks)
            task->waitDone();
    }
    for (const auto& task : tasks)
        EXPECT_EQ(task->runs, 1);
}

TEST(WorkerPool, ALoneWorkerRunsAndTasksTheCallerClaimedAreSkipped)
{
    Gate gate;
    gate.open = true;
    WorkerPool pool(1);
    auto claimed = std::make_shared<HeldTask>(gate);
    ASSERT_TRUE(claimed->claim());
    auto queued = std::make_shared<HeldTask>(gate);
    pool.submit(claimed, HeavyTask);
    pool.submit(queued, HeavyTask);
    queued->waitDone();
    EXPECT_EQ(claimed->runs, 0);
    EXPECT_EQ(queued->runs, 1);
}

} // namespace
} // namespace quarvo
