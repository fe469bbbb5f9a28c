#pragma once

#include <string>

namespace quarvo {

// Whether the file at path is a ZIP archive (a self-extractor included): it has an end record
// whose central directory really is where the record says, or right before it. A program that
// merely holds the four bytes of the signature is none.
bool holdsZipDirectory(const std::string& path);

} // namespace quarvo
