#pragma once

#include <string>

namespace quarvo {

// Creates path as an empty ZIP archive: the 22-byte end of central directory record with every
// field 0. The file must not exist yet. Returns false when it cannot be created or written; a file
// it began to write is removed again.
bool writeEmptyArchive(const std::string& path);

} // namespace quarvo
