#pragma once

#include "core/printing/ListingPrintout.h"

class QPrinter;

namespace quarvo::gui {

// Prints a listing on the printer as it is set up (a real printer, a PDF file, or the preview's
// pages), laid out by the core's paginator in the printer's default font over the printer's
// printable area. When the printer was given a range of pages, only those are printed. Returns
// false when the printer could not be started or could not take a page (a PDF file in a
// directory that cannot be written).
bool printListing(const ListingPrintout& printout, QPrinter& printer);

} // namespace quarvo::gui
