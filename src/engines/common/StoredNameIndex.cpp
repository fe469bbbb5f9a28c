#include "engines/common/StoredNameIndex.h"

#include "core/base/TextCase.h"

namespace quarvo {

void StoredNameIndex::add(std::string_view name, size_t index)
{
    m_folded[toLowerAscii(name)].push_back(Named{name, index});
}

std::vector<size_t> StoredNameIndex::find(std::string_view item) const
{
    std::vector<size_t> exact, folded;
    const auto bucket = m_folded.find(toLowerAscii(item));
    if (bucket == m_folded.end())
        return exact;
    for (const Named& named : bucket->second) {
        folded.push_back(named.index);
        if (named.name == item)
            exact.push_back(named.index);
    }
    return exact.empty() ? folded : exact;
}

std::vector<size_t> StoredNameIndex::findIgnoringCase(std::string_view item) const
{
    std::vector<size_t> found;
    if (const auto bucket = m_folded.find(toLowerAscii(item)); bucket != m_folded.end()) {
        for (const Named& named : bucket->second)
            found.push_back(named.index);
    }
    return found;
}

} // namespace quarvo
