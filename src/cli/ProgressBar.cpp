#include "cli/ProgressBar.h"

#include "core/zip/ZipNames.h"

#include <algorithm>

namespace quarvo::cli {

namespace {

constexpr size_t BarCells = 20;
// Below this width only the percentage is shown.
constexpr size_t NarrowestBar = 32;
constexpr std::string_view EraseLine = "\r\033[K";

// The longest prefix of text that holds at most columns characters, cut between UTF-8 sequences.
std::string_view fitToColumns(std::string_view text, size_t columns)
{
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == columns)
            return text.substr(0, i);
    }
    return text;
}

} // namespace

std::string renderProgressLine(std::string_view text, uint32_t percent, size_t columns)
{
    percent = std::min<uint32_t>(percent, 100);
    std::string figure = std::to_string(percent) + "%";
    figure.insert(0, 4 - figure.size(), ' ');
    const size_t usable = columns > 0 ? columns - 1 : 0;
    if (usable < NarrowestBar)
        return std::string(fitToColumns(figure, usable));

    const size_t filled = percent * BarCells / 100;
    std::string line = "[" + std::string(filled, '#') + std::string(BarCells - filled, '.') + "] " + figure;
    const std::string escaped = escapeControlCharacters(text);
    if (!escaped.empty())
        line += " " + std::string(fitToColumns(escaped, usable - line.size() - 1));
    return line;
}

ProgressBar::ProgressBar(std::function<void(std::string_view)> write, size_t columns)
    : m_write(std::move(write)), m_columns(columns)
{
}

void ProgressBar::update(std::string_view text, uint32_t percent, Clock::time_point now)
{
    if (m_drawnOnce && now - m_lastDraw < RedrawInterval)
        return;
    m_drawnOnce = true;
    m_lastDraw = now;
    m_shown = true;
    m_write("\r" + renderProgressLine(text, percent, m_columns) + "\033[K");
}

void ProgressBar::clear()
{
    if (!m_shown)
        return;
    m_shown = false;
    m_write(EraseLine);
}

} // namespace quarvo::cli
