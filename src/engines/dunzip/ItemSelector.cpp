#include "engines/dunzip/ItemSelector.h"

#include "core/base/TextCase.h"
#include "engines/common/NameList.h"

namespace quarvo {

bool matchesItemPattern(std::string_view pattern, std::string_view name)
{
    // Iterative matching with one backtrack point, linear in practice and never recursive.
    size_t p = 0, n = 0;
    size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || toLowerAscii(pattern[p]) == toLowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starPattern != std::string_view::npos) {
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

ItemSelector::ItemSelector(std::string_view specification, bool recursePathInformation)
    : m_recurse(recursePathInformation)
{
    for (std::string& item : splitNameList(specification)) {
        if (item == "*.*" || item == "*")
            m_everything = true;
        else
            m_patterns.push_back(std::move(item));
    }
}

bool ItemSelector::matches(std::string_view entryName) const
{
    if (m_everything)
        return true;
    std::string_view fileName = entryName;
    if (size_t slash = entryName.rfind('/', entryName.empty() ? 0 : entryName.size() - 2);
        slash != std::string_view::npos && slash + 1 < entryName.size())
        fileName = entryName.substr(slash + 1);
    for (const std::string& pattern : m_patterns) {
        if (matchesItemPattern(pattern, entryName))
            return true;
        if (m_recurse && pattern.find('/') == std::string::npos && matchesItemPattern(pattern, fileName))
            return true;
    }
    return false;
}

} // namespace quarvo
