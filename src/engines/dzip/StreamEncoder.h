#pragma once

#include "engines/dzip/EntryEncoder.h"
#include "engines/dzip/TemporaryArchive.h"

#include <functional>
#include <string>

namespace quarvo {

enum class StreamOutcome { Done, ReadFailed, WriteFailed, Cancelled };

// Where files stop being read whole and start being streamed, and the pieces a streamed file is
// deflated in on all cores. Tests make both small.
struct StreamingLimits {
    uint64_t wholeFileLimit = 32u << 20;
    size_t chunkSize = 1u << 20;
};

// Encodes a file too large to hold in memory straight into the archive, deflated in pieces of
// chunkSize on all cores and joined into one deflate stream (memory stays bounded whatever the
// file's size). Writes only the payload, from the archive's
// current position; result receives method, flags, CRC and sizes (payload left empty). Deflated
// data that came out no smaller is thrown away and the file stored instead. A traditionally encrypted
// entry's check byte comes from dosTime, so its header must announce a data descriptor; an AES entry
// (method 99, result.extra its field) needs none. progress gets the
// bytes read so far and returns false to stop.
StreamOutcome streamEncodeFile(const std::string& path, uint64_t expectedSize, const EncodingOptions& options,
                               uint16_t dosTime, size_t chunkSize, TemporaryArchive& out,
                               const std::function<bool(uint64_t)>& progress, EncodedData& result,
                               std::string& error);

} // namespace quarvo
