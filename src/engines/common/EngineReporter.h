#pragma once

#include "engines/api/EngineCallbacks.h"
#include "engines/common/EngineLog.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace quarvo {

// The callbacks of one engine run, with the rules both engines follow: every call happens on the
// engine's calling thread; a callback that returns 1 stops the operation, and once stopped every
// later call reports the stop again without calling out. Messages also go to the log.
class EngineReporter {
  public:
    struct Callbacks {
        EngineMessageCallback message = nullptr;
        void* messageData = nullptr;
        EngineStatusCallback status = nullptr;
        void* statusData = nullptr;
        EngineQueryCallback query = nullptr;
        void* queryData = nullptr;
    };

    // log may be null; it must outlive the reporter.
    EngineReporter(const Callbacks& callbacks, EngineLog* log);

    // Shows a text to the user and logs it. Returns false when the operation must stop.
    bool message(std::string_view text);
    // Logs a text without showing it.
    void log(std::string_view text);
    // Reports what is being worked on and how far the whole operation is (0 to 100). A repeat of
    // the last text is passed on at most every few milliseconds, so a tight loop can call it per
    // block without flooding the caller. Returns false when the operation must stop.
    bool status(std::string_view text, uint32_t percent);
    // Calls the status callback again with the last text, so Cancel is seen while the engine waits.
    bool keepAlive();
    // Shows a notice through the query callback (its answer is ignored). Returns false when the
    // operation must stop.
    bool notice(std::string_view text);

    // True once a callback asked to stop.
    bool stopped() const { return m_stopped; }

  private:
    bool callStatus(uint32_t percent);

    Callbacks m_callbacks;
    EngineLog* m_log;
    bool m_stopped = false;
    std::string m_statusText;
    uint32_t m_percent = 0;
    std::chrono::steady_clock::time_point m_lastStatus{};
};

// Percentage of a whole made of byte counts, never above 100 and 100 for an empty whole.
constexpr uint32_t percentOf(uint64_t done, uint64_t total)
{
    if (total == 0 || done >= total)
        return 100;
    return static_cast<uint32_t>(done * 100 / total);
}

} // namespace quarvo
