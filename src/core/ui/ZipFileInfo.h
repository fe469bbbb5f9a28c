#pragma once

#include <string>

namespace quarvo {

// Which archive the information dialog describes: its title and labels name the kind ("ZIP File
// Info", "TAR File Name:"), and only a ZIP archive has a comment.
enum class ArchiveInfoKind { Zip, Tar };

// The fields of the "ZIP File Info" (or "TAR File Info") dialog, formatted for display.
struct ZipFileInfo {
    ArchiveInfoKind kind = ArchiveInfoKind::Zip;
    std::string fileName;          // "ZIP File Name:", the full path
    std::string fileSize;          // "ZIP File Size:", "1,234 Bytes"
    std::string dateTime;          // "Date/Time of ZIP File:", "Monday, March 03, 2025 at 02:05PM"
    std::string fileCount;         // "Num Files in ZIP File:", "1,234"
    std::string totalUncompressed; // "Total Size Uncompressed:", "1,234 Bytes"
    std::string totalCompressed;   // "Total Size Compressed:", "1,234 Bytes"
    std::string percentage;        // "Total Compression Percentage:", "80%"
    std::string comment;           // "ZIP File &Comments:", read-only, several lines

    bool operator==(const ZipFileInfo&) const = default;
};

} // namespace quarvo
