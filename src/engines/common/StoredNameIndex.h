#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quarvo {

// The names of an archive's entries, hashed so that an item of a name list is looked up in
// constant time whatever the number of entries or items (a selection of 70,000 names must not
// cost 70,000 passes over the archive).
//
// An item that names stored entries stands for those entries alone, even when it holds `*`, `?`
// or `[`: "a*b.txt" is a legal file name here, and a caller that passes a stored name means that
// entry, not every name the pattern would match. Only an item that names no entry is a pattern.
class StoredNameIndex {
  public:
    // Adds the entry at index under name, which must outlive the index (duplicates keep every
    // index, in the order added).
    void add(std::string_view name, size_t index);

    // The entries item names, in the order added: those whose name is byte for byte the item, or
    // when there are none, those whose name equals it ignoring ASCII case (so "A.txt" and "a.txt"
    // stay distinct when both are stored). Empty when item names no entry.
    std::vector<size_t> find(std::string_view item) const;
    // Every entry whose name equals item ignoring ASCII case, in the order added.
    std::vector<size_t> findIgnoringCase(std::string_view item) const;

  private:
    struct Named {
        std::string_view name;
        size_t index;
    };
    // Keyed by the name in lower case; the exact names are told apart within a bucket.
    std::unordered_map<std::string, std::vector<Named>> m_folded;
};

} // namespace quarvo
