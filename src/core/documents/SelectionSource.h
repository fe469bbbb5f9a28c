#pragma once

#include <string>

namespace quarvo {

// The selected entries of an archive, as the listing that shows them hands them to a command. The
// listing decides their order (its sort order) and which are meant (those its filter shows).
class SelectionSource {
  public:
    virtual ~SelectionSource() = default;

    // How many entries are selected.
    virtual int selectedCount() const = 0;

    // The item list of the selected entries for an engine: each stored name in double quotes,
    // separated by single spaces. count is the number of names, 0 when nothing is selected, -1 when
    // the list cannot be built (text is then empty and nothing must run).
    struct ItemList {
        int count = 0;
        std::string text;
    };
    virtual ItemList buildSelectionList() const = 0;
};

} // namespace quarvo
