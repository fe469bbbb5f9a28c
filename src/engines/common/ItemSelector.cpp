#include "engines/common/ItemSelector.h"

#include "engines/common/NameList.h"
#include "engines/common/NamePattern.h"
#include "engines/common/StoredNameIndex.h"

namespace quarvo {

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

ItemSelector::Selection ItemSelector::select(const std::vector<std::string_view>& names) const
{
    Selection selection{std::vector<bool>(names.size(), m_everything), {}};
    std::vector<bool>& chosen = selection.chosen;
    if (m_everything || m_items.empty())
        return selection;
    StoredNameIndex fullNames, fileNames;
    for (size_t i = 0; i < names.size(); ++i) {
        fullNames.add(names[i], i);
        if (m_recurse)
            fileNames.add(fileNamePartOf(names[i]), i);
    }
    struct Pattern {
        size_t item;
        bool alsoFileName;
    };
    std::vector<Pattern> patterns;
    std::vector<bool> itemMatched(m_items.size(), true);
    for (size_t k = 0; k < m_items.size(); ++k) {
        const std::string& item = m_items[k];
        const bool alsoFileName = m_recurse && item.find('/') == std::string::npos;
        std::vector<size_t> named = fullNames.find(item);
        if (alsoFileName) {
            const std::vector<size_t> byFileName = fileNames.findIgnoringCase(item);
            named.insert(named.end(), byFileName.begin(), byFileName.end());
        }
        itemMatched[k] = !named.empty();
        if (named.empty() && hasWildcard(item)) {
            patterns.push_back({k, alsoFileName});
            continue;
        }
        for (size_t index : named)
            chosen[index] = true;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        for (const Pattern& pattern : patterns) {
            // Once an entry is chosen, only patterns that matched nothing yet are still worth trying.
            if (chosen[i] && itemMatched[pattern.item])
                continue;
            const std::string& text = m_items[pattern.item];
            if (matchesItemPattern(text, names[i]) ||
                (pattern.alsoFileName && matchesItemPattern(text, fileNamePartOf(names[i])))) {
                chosen[i] = true;
                itemMatched[pattern.item] = true;
            }
        }
    }
    for (size_t k = 0; k < m_items.size(); ++k) {
        if (!itemMatched[k])
            selection.unmatched.push_back(m_items[k]);
    }
    return selection;
}

} // namespace quarvo
