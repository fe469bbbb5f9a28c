#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quarvo {

struct ZipEntry;

// The short name of a compression method as listings show it ("Deflate", "BZip2", "PPMd"), at most
// eight characters; empty for a method number the program has no name for.
std::string_view compressionMethodName(uint16_t method);

// How an entry is compressed and encrypted, in words for the user: "Deflate", "BZip2, encrypted"
// (the traditional cipher), "LZMA, AES-256"; an unnamed method appears as "method 42".
std::string entryMethodText(const ZipEntry& entry);

} // namespace quarvo
