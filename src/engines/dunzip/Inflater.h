#pragma once

#include "engines/dunzip/DecodeStatus.h"
#include "engines/dunzip/EntryDataStream.h"
#include "engines/dunzip/MethodDecoder.h"

namespace quarvo {

// The two streams the inflater reads. Deflate64 ("enhanced deflate", method 9) is deflate with a
// 64 KiB window: length code 285 takes 16 extra bits for lengths of 3 to 65,538 instead of meaning
// 258, and distance codes 30 and 31 reach back up to 65,536 bytes.
enum class InflateVariant { Deflate, Deflate64 };

// Decodes a raw stream of the variant (RFC 1951) from input, handing the output on in pieces of at
// most 64 KiB. Returns Ok at the end of the final block (bytes after it are ignored), Corrupt for
// anything the format does not allow (the same streams zlib refuses for deflate) or for a stream
// that needs more bytes than input holds, or the status input or output stopped it with. Memory is
// fixed: a 256 KiB window and the code tables.
DecodeStatus inflateStream(EntryDataStream& input, const DecodedOutput& output, InflateVariant variant);

} // namespace quarvo
