#include "core/jobs/JobText.h"

#include <cstdint>

namespace quarvo {

namespace {

// How many continuation bytes follow a lead byte; -1 for a byte that starts no sequence.
int continuationCount(uint8_t lead)
{
    if (lead < 0x80)
        return 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 1;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 2;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 3;
    return -1;
}

bool isContinuation(uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

size_t characterCount(std::string_view text)
{
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++count) {
        int following = continuationCount(static_cast<uint8_t>(text[i]));
        size_t length = 1;
        if (following > 0 && i + static_cast<size_t>(following) < text.size()) {
            length = static_cast<size_t>(following) + 1;
            for (size_t k = 1; k < length; ++k) {
                if (!isContinuation(static_cast<uint8_t>(text[i + k])))
                    length = 1;
            }
        }
        i += length;
    }
    return count;
}

std::optional<std::string> valueProblem(std::string_view key, std::string_view value, size_t limit)
{
    const std::string name = "\"" + std::string(key) + "\"";
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        return name + " holds a line break or a NUL character, which a job file cannot keep.";
    if (characterCount(value) > limit)
        return name + " is longer than " + std::to_string(limit) + " characters.";
    return std::nullopt;
}

std::vector<std::string> commentLines(std::string_view comment)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < comment.size(); ++i) {
        if (comment[i] != '\r' && comment[i] != '\n')
            continue;
        lines.emplace_back(comment.substr(start, i - start));
        if (comment[i] == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    lines.emplace_back(comment.substr(start));
    return lines;
}

} // namespace quarvo
