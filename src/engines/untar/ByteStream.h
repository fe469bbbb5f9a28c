#pragma once

#include "core/base/Result.h"

#include <cstdint>
#include <span>
#include <string>

namespace quarvo {

// Why a stream of bytes could not be read on. The kinds tell the engine which result to give; the
// detail is for the user.
enum class StreamProblem {
    ReadFailed, // the file could not be read (an I/O error)
    Truncated,  // the data ends before its format says it does
    Damaged,    // the compressed data cannot be decoded
    Checksum,   // the data decodes but fails its check value (CRC) or its recorded length
};

struct StreamError {
    StreamProblem problem = StreamProblem::Damaged;
    std::string detail; // a sentence without the final full stop
};

// Bytes read in order, from a file or from a decoder over another stream. Each read hands out the
// next bytes, which stay valid until the next call; an empty span means the end.
class ByteStream {
  public:
    virtual ~ByteStream() = default;

    virtual Result<std::span<const uint8_t>, StreamError> read() = 0;
    // Passes over up to count bytes without handing them out, when the stream can do so without
    // reading them (a plain file seeks). Returns how many it passed over, 0 when it cannot.
    virtual uint64_t skip(uint64_t count)
    {
        (void)count;
        return 0;
    }
    // How far into the underlying file the stream has read, and the file's size (0 when unknown):
    // a decoder tells its source's position, so progress is always measured on the file.
    virtual uint64_t filePosition() const = 0;
    virtual uint64_t fileSize() const = 0;
};

} // namespace quarvo
