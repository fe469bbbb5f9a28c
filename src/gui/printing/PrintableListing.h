#pragma once

#include "core/printing/ListingPrintout.h"

namespace quarvo::gui {

// A window whose listing can be printed: the ZIP window, and any other archive window that lists
// entries. Print and Print Preview ask the active window for it.
class PrintableListing {
public:
    virtual ~PrintableListing() = default;

    // Whether there is a listing to print now (the window still has its document).
    virtual bool canPrintListing() const = 0;
    // The rows as the listing shows them at this moment, in its order and filter, selected or not,
    // with the archive's path and (ZIP only) its comment. The rows point into the document's
    // entries: print them before control returns to the event loop, where a re-read may replace
    // them, and ask again for the next print.
    virtual ListingPrintout listingPrintout() const = 0;
};

} // namespace quarvo::gui
