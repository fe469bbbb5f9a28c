#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace quarvo {

// Letter-case helpers for names the program compares ignoring case (entry names, extensions,
// profile keys). They map ASCII letters only: bytes of UTF-8 sequences pass through unchanged, so a
// multi-byte name is never corrupted.

constexpr char toLowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char toUpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string toLowerAscii(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](char c) { return toLowerAscii(c); });
    return result;
}

inline std::string toUpperAscii(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](char c) { return toUpperAscii(c); });
    return result;
}

constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (toLowerAscii(a[i]) != toLowerAscii(b[i]))
            return false;
    }
    return true;
}

// Position of needle in haystack ignoring case, or npos.
constexpr size_t findIgnoringCase(std::string_view haystack, std::string_view needle, size_t from = 0)
{
    if (needle.size() > haystack.size())
        return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= haystack.size(); ++i) {
        if (equalsIgnoringCase(haystack.substr(i, needle.size()), needle))
            return i;
    }
    return std::string_view::npos;
}

} // namespace quarvo
