#pragma once

#include "core/ui/FileDialogRequest.h"

#include <vector>

namespace quarvo {

// The filter list of "Open ZIP File", first entry first: every kind of archive the program opens,
// then each kind alone, the two job file kinds and all files.
std::vector<FileDialogFilter> openArchiveFilters();

// The "Open ZIP File" request: the filters above, several files at once.
FileDialogRequest openArchiveRequest();

} // namespace quarvo
