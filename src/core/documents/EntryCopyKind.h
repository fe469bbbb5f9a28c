#pragma once

#include <string_view>

namespace quarvo {

// What the copy of a viewed entry may open as, told by the extension of the entry's name in any
// letter case: the program's own document kinds decide, so the names here are those its file
// dialogs and the desktop know.
enum class EntryCopyKind {
    JobFile,    // ".cfu", ".cfz": a job window of its own
    ZipArchive, // ".zip", or ".exe", which may be a self-extractor: a nested window when it holds a
                // ZIP directory
    TarArchive, // ".tar", ".tgz", ".taz", ".gz", ".z": a nested TAR window
    Other,      // launched
};

EntryCopyKind entryCopyKind(std::string_view name);

} // namespace quarvo
