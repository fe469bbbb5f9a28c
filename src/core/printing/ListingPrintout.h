#pragma once

#include <string>
#include <vector>

namespace quarvo {

struct ZipEntry;

// Which listing is printed. The ZIP listing prints the archive's comment under its name and gives a
// long file name a line of its own; the TAR listing does neither.
enum class PrintedListingKind {
    Zip,
    Tar,
};

// What a listing hands over to be printed: every row it shows, in its current order and filter
// (selected or not), and the archive they come from. The rows point at the document's entries,
// which must outlive the printing.
struct ListingPrintout {
    PrintedListingKind kind = PrintedListingKind::Zip;
    // The archive's path; its file-name part heads the first page.
    std::string archivePath;
    // The archive's comment as UTF-8; printed for ZIP archives only.
    std::string archiveComment;
    std::vector<const ZipEntry*> rows;
};

} // namespace quarvo
