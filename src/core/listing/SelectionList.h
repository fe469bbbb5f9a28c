#pragma once

#include <span>
#include <string>

namespace quarvo {

struct ZipEntry;

// The selected entries named in one text for an engine or the TAR reader, and how many there are.
struct SelectionList {
    // The number of names, 0 for no selection, or -1 when the list cannot be built; the text is
    // then empty and the command must not run.
    int count = 0;
    std::string text;
};

// The stored names of the selected entries, in the order given, each in double quotes and
// separated by one space: "A.TXT" "DIR/B.TXT". A name that itself holds a double quote cannot be
// written so that the engine reads it back as the same name, and acting on other names than the
// selected ones could delete the wrong entries, so such a selection gives count -1.
SelectionList buildSelectionList(std::span<ZipEntry* const> selectedEntries);

// The TAR listing's form: the names separated by one space and not quoted, A.TXT DIR/B.TXT. A name
// with a blank in it is quoted as in the ZIP form, since unquoted it would read as two names; a
// name with a double quote gives count -1.
SelectionList buildTarSelectionList(std::span<ZipEntry* const> selectedEntries);

} // namespace quarvo
