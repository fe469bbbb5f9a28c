#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// Which entries an extraction works on, from the item specification of the command block: "*.*"
// for every entry, a list of quoted stored names, or typed wildcard patterns. Names compare
// ignoring case, a byte-exact name winning over one that differs in case. An item that names a
// stored entry is that name, even when it holds `*` or `?`; only other items are patterns, in
// which `*` stands for any run of characters, "/" included, and `?` for one character. With
// recursePathInformation an item without "/" also matches the file-name part of entries in
// subdirectories.
class ItemSelector {
  public:
    ItemSelector(std::string_view specification, bool recursePathInformation);

    struct Selection {
        std::vector<bool> chosen;           // per entry, in archive order
        std::vector<std::string> unmatched; // the items that chose no entry, as given
    };
    // Which of the entries, given by name in archive order, the item specification selects, and
    // which items matched nothing. Names are looked up in a hash index and only patterns are tried
    // on every entry, so a long list of names costs no more than one pass.
    Selection select(const std::vector<std::string_view>& names) const;
    // Whether the item specification names every entry ("*.*", "*" or nothing at all), so that no name
    // needs looking at.
    bool selectsEveryEntry() const { return m_everything || m_items.empty(); }

  private:
    std::vector<std::string> m_items;
    bool m_everything = false;
    bool m_recurse = false;
};

} // namespace quarvo
