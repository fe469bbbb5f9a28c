#pragma once

#include <cstdint>
#include <string>

namespace quarvo {

struct ZipEntry;

// The texts a listing row (and a printed line) shows for an entry, beyond its name, date, time and
// sizes.

// The entry's MS-DOS attribute bits: the low byte of its external attributes, completed from the
// Unix mode that archives made on Unix keep in the upper 16 bits (such archivers often leave the low
// byte empty): a directory is "d", a file without owner write permission read-only, a name starting
// with "." hidden, and anything neither a regular file nor a directory (links, devices, sockets,
// pipes) system.
uint8_t dosAttributes(const ZipEntry& entry);

// Four letters, one per attribute, "-" where it is clear: d (directory), s (system), h (hidden),
// r (read-only). A read-only file shows "---r".
std::string attributeLetters(const ZipEntry& entry);

// The last column: the entry's directory part, then "->" and its comment when it has one. An entry
// at the root with a comment shows just "->" and the comment.
std::string pathAndCommentText(const ZipEntry& entry);

// The entry's compression ratio in whole percent (see compressionRatio).
int entryCompressionRatio(const ZipEntry& entry);

// The ratio column: the ratio and "%", as "75%".
std::string ratioText(const ZipEntry& entry);

} // namespace quarvo
