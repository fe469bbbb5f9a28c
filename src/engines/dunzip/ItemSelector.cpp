#include "engines/dunzip/ItemSelector.h"

#include "core/base/TextCase.h"
#include "engines/common/NameList.h"
#include "engines/common/NamePattern.h"
#include "engines/common/StoredNameIndex.h"

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

namespace {

// The last component of an entry name; a directory entry keeps its trailing "/".
std::string_view fileNamePartOf(std::string_view entryName)
{
    const size_t slash = entryName.rfind('/', entryName.empty() ? 0 : entryName.size() - 2);
    if (slash != std::string_view::npos && slash + 1 < entryName.size())
        return entryName.substr(slash + 1);
    return entryName;
}

} // namespace

ItemSelector::ItemSelector(std::string_view specification, bool recursePathInformation)
    : m_recurse(recursePathInformation)
{
    for (std::string& item : splitNameList(specification)) {
        if (item == "*.*" || item == "*")
            m_everything = true;
        else
            m_items.push_back(std::move(item));
    }
}

std::vector<bool> ItemSelector::select(const std::vector<std::string_view>& names) const
{
    std::vector<bool> chosen(names.size(), m_everything);
    if (m_everything || m_items.empty())
        return chosen;
    StoredNameIndex fullNames, fileNames;
    for (size_t i = 0; i < names.size(); ++i) {
        fullNames.add(names[i], i);
        if (m_recurse)
            fileNames.add(fileNamePartOf(names[i]), i);
    }
    struct Pattern {
        std::string_view text;
        bool alsoFileName;
    };
    std::vector<Pattern> patterns;
    for (const std::string& item : m_items) {
        const bool alsoFileName = m_recurse && item.find('/') == std::string::npos;
        std::vector<size_t> named = fullNames.find(item);
        if (alsoFileName) {
            const std::vector<size_t> byFileName = fileNames.findIgnoringCase(item);
            named.insert(named.end(), byFileName.begin(), byFileName.end());
        }
        if (named.empty() && hasWildcard(item)) {
            patterns.push_back({item, alsoFileName});
            continue;
        }
        for (size_t index : named)
            chosen[index] = true;
    }
    if (patterns.empty())
        return chosen;
    for (size_t i = 0; i < names.size(); ++i) {
        for (const Pattern& pattern : patterns) {
            if (matchesItemPattern(pattern.text, names[i]) ||
                (pattern.alsoFileName && matchesItemPattern(pattern.text, fileNamePartOf(names[i])))) {
                chosen[i] = true;
                break;
            }
        }
    }
    return chosen;
}

} // namespace quarvo
