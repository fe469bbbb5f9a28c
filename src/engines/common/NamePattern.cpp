#include "engines/common/NamePattern.h"

#include "core/base/TextCase.h"

namespace quarvo {

bool hasWildcard(std::string_view text)
{
    return text.find_first_of("*?") != std::string_view::npos;
}

namespace {

// Iterative matching with one backtrack point: the last `*` seen and where its run would resume.
// Linear in practice and never recursive, whatever the pattern. Without crossSlash, `*` and `?`
// never stand for "/".
bool matchesPattern(std::string_view pattern, std::string_view name, bool crossSlash)
{
    size_t p = 0, n = 0;
    size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && ((pattern[p] == '?' && (crossSlash || name[n] != '/')) ||
                                          toLowerAscii(pattern[p]) == toLowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starPattern != std::string_view::npos && (crossSlash || name[starName] != '/')) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool matchesNamePattern(std::string_view pattern, std::string_view name)
{
    if (pattern == "*.*")
        return name.find('/') == std::string_view::npos;
    return matchesPattern(pattern, name, false);
}

bool matchesItemPattern(std::string_view pattern, std::string_view name)
{
    return matchesPattern(pattern, name, true);
}

} // namespace quarvo
