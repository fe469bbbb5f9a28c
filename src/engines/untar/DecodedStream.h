#pragma once

#include "engines/untar/ByteStream.h"
#include "engines/untar/ReplayStream.h"

#include <functional>
#include <memory>
#include <string>

namespace quarvo {

// A file's data as the TAR reader and the unpacker see it: unpacked when the file is a compressed
// stream, its first block looked at already.
struct DecodedStream {
    uint32_t type = 0;                  // the StreamType of the file
    std::unique_ptr<ReplayStream> data; // the unpacked bytes
    bool holdsTar = false;              // the unpacked data begins like a TAR archive
    bool compressed() const;
};

// How the unpacking is spread over the processor's cores.
enum class Decoding {
    Inline,     // on the reader's thread (a single core, or a harness that wants one thread)
    Concurrent, // on a thread of its own when the processor has more than one core (PrefetchStream)
};

// Tells the file's kind by its first bytes, puts the decoder of that kind over it and looks at the
// first block of the unpacked data. warn receives, on the reader's thread, the warnings the decoder
// gives later (data after the end of a GZIP stream). Fails when the file cannot be read or its first
// bytes cannot be decoded.
Result<DecodedStream, StreamError> openDecodedStream(std::unique_ptr<ByteStream> file,
                                                     std::function<void(const std::string&)> warn,
                                                     Decoding decoding = Decoding::Concurrent);

} // namespace quarvo
