#pragma once

#include "core/ui/ZipFileInfo.h"
#include "core/zip/ZipArchiveRecord.h"

#include <ctime>
#include <string>

namespace quarvo {

// The "ZIP File Info" fields of an archive at path: sizes and counts grouped by thousands, sizes
// followed by " Bytes", the total compression percentage followed by "%", the file's time as
// formatInfoDateTime gives it.
ZipFileInfo buildZipFileInfo(const std::string& path, const ZipArchiveRecord& archive);

// A time in local time, in English whatever the user's locale, as "Monday, March 03, 2025 at
// 02:05PM": full weekday and month names, two-digit day, four-digit year, 12-hour clock, AM or PM.
std::string formatInfoDateTime(std::time_t time);

} // namespace quarvo
