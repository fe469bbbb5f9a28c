#pragma once

#include <string_view>

namespace quarvo {

// What a document opened by "-e" or by an execute request runs: a job file runs, anything else stays
// open and runs nothing.
enum class JobKind { None, UnzipJob, ZipJob };

// The job a path names by its extension, the text after the last "." that follows the last "/":
// "cfu" (any case) is an UNZIP job, "cfz" a ZIP job, anything else (no extension included) none.
JobKind jobKindForPath(std::string_view path);

} // namespace quarvo
