#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quarvo::cli {

// One line of the progress bar for a terminal columns wide: a bar, the percentage and as much of
// the text as fits, never reaching the last column (a line that fills it would wrap on some
// terminals). Percentages above 100 show as 100. Control characters of the text are escaped.
std::string renderProgressLine(std::string_view text, uint32_t percent, size_t columns);

// A progress bar redrawn in place on a terminal line, at most every RedrawInterval so an engine
// that reports every block does not spend its time writing to the terminal.
class ProgressBar {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds RedrawInterval{100};

    // write receives the bytes for the terminal: carriage returns and erase-line sequences included.
    ProgressBar(std::function<void(std::string_view)> write, size_t columns);

    // Shows text and percent, unless the bar was drawn less than RedrawInterval before now.
    void update(std::string_view text, uint32_t percent, Clock::time_point now);
    // Erases the bar, so a message can be written on a clean line; the next update draws it again.
    void clear();

  private:
    std::function<void(std::string_view)> m_write;
    size_t m_columns;
    bool m_shown = false;
    bool m_drawnOnce = false;
    Clock::time_point m_lastDraw{};
};

} // namespace quarvo::cli
