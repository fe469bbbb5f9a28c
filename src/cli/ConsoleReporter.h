#pragma once

#include "cli/ProgressBar.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

namespace quarvo::cli {

// Where an engine's callbacks land in a terminal program: messages and notices as lines on standard
// error, the status as a progress bar when standard error is a terminal. Ctrl+C (or SIGTERM,
// SIGHUP) makes the next callback ask the engine to stop, which leaves the archive as it was; a
// second signal ends the program at once.
class ConsoleReporter {
  public:
    explicit ConsoleReporter(std::FILE* stream);
    ~ConsoleReporter();
    ConsoleReporter(const ConsoleReporter&) = delete;
    ConsoleReporter& operator=(const ConsoleReporter&) = delete;

    // Writes text and a newline, erasing the progress bar first. Line breaks are kept; every other
    // control character is escaped, so a hostile entry name cannot move the cursor.
    void line(std::string_view text);
    // Erases the progress bar and flushes; call before the program's last words.
    void finish();

    // The engines' callbacks; data is the ConsoleReporter.
    static int onMessage(const char* text, uint32_t unused, void* data);
    static int onStatus(const char* text, uint32_t percent, void* data);
    static int onQuery(uint32_t code, uint32_t value1, uint32_t value2, uint32_t value3, char* text1,
                       char* text2, void* data);

  private:
    static int cancelRequested();

    std::FILE* m_stream;
    std::optional<ProgressBar> m_bar;
};

// Points an engine request's message and status callbacks, and its query callback where it has one,
// at the reporter.
template <typename Request>
void reportTo(Request& request, ConsoleReporter& reporter)
{
    request.messageCallback = ConsoleReporter::onMessage;
    request.messageCallbackData = &reporter;
    request.statusCallback = ConsoleReporter::onStatus;
    request.statusCallbackData = &reporter;
    if constexpr (requires { request.queryCallback; }) {
        request.queryCallback = ConsoleReporter::onQuery;
        request.queryCallbackData = &reporter;
    }
}

} // namespace quarvo::cli
