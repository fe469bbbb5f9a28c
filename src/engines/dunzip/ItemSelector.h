#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// Which entries an extraction works on, from the item specification of the command block: "*.*"
// for every entry, a list of quoted stored names, or typed wildcard patterns. Names compare
// ignoring case. In a pattern `*` stands for any run of characters, "/" included, and `?` for one
// character; with recursePathInformation a pattern without "/" also matches the file-name part
// of entries in subdirectories.
class ItemSelector {
  public:
    ItemSelector(std::string_view specification, bool recursePathInformation);

    bool matches(std::string_view entryName) const;
    bool empty() const { return m_patterns.empty() && !m_everything; }

  private:
    std::vector<std::string> m_patterns;
    bool m_everything = false;
    bool m_recurse = false;
};

// Whether name matches pattern as described above (`*` crossing "/"), ignoring case.
bool matchesItemPattern(std::string_view pattern, std::string_view name);

} // namespace quarvo
