#pragma once

#include <array>
#include <string>

namespace quarvo {

// The "Check Out" dialog: where to check an archive out to, and its password. As with the extract
// dialog, the command records the destination in the EXTRACT history and makes it the working
// directory; the dialog's own copy of the history shows the move.
struct CheckOutDialogValues {
    // Shown only.
    std::string title = "Check Out";
    std::array<std::string, 5> directoryHistory;

    // Edited.
    std::string destinationDirectory;
    std::string password;

    bool operator==(const CheckOutDialogValues&) const = default;
};

} // namespace quarvo
