#pragma once

#include <string>

namespace quarvo {

// The file a change to the archive at path is written to: symbolic links followed, one after the
// other, to the file they finally name (which need not exist yet). Replacing that file keeps every
// link to it a link. A chain of more than 40 links, or one that cannot be read, gives the last path
// reached.
std::string followArchiveLinks(const std::string& path);

// Whether the user running the program may write the existing file at path (as the system decides
// for the effective user and groups, so root may write a file without write permission). An
// archive the user may not write is never replaced, even where the directory would allow a rename.
bool mayWriteArchive(const std::string& path);

} // namespace quarvo
