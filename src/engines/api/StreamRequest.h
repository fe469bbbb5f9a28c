#pragma once

#include "engines/api/EngineCallbacks.h"

#include <cstddef>
#include <cstdint>

namespace quarvo {

// Functions of the stream request.
namespace StreamFunction {
constexpr uint32_t Identify = 1; // what kind of stream the input is; returns a StreamType
constexpr uint32_t Unpack = 2;   // write the unpacked data as a new file in the work directory
constexpr uint32_t Test = 3;     // unpack and check the data, writing nothing
} // namespace StreamFunction

// The answers of Identify. A program that knows only the first three treats every other value as a
// compressed stream of some other kind.
namespace StreamType {
constexpr uint32_t Plain = 100;    // not a compressed stream
constexpr uint32_t Gzip = 101;     // GZIP (RFC 1952), one member or several
constexpr uint32_t Compress = 102; // the LZW format of the Unix compress program (.Z)
constexpr uint32_t Bzip2 = 103;
constexpr uint32_t Xz = 104;
constexpr uint32_t Zstandard = 105;
constexpr uint32_t Lzip = 106;
} // namespace StreamType

// What Unpack does when the work directory already holds a file of the output's name.
namespace StreamExisting {
constexpr uint32_t Refuse = 0;    // fail with EntriesSkipped, leaving the file as it is
constexpr uint32_t Replace = 1;   // replace it once the new file is whole
constexpr uint32_t FreshName = 2; // write "name (2).ext", "name (3).ext", ... instead
} // namespace StreamExisting

// Texts of the request are NUL-terminated UTF-8 in fixed fields; a path field holds as much as a
// Linux path may (PATH_MAX).
constexpr size_t StreamPathSize = 4096;
constexpr size_t StreamMessageSize = 1024;

// The request of the stream unpacker. Its first five fields keep a fixed order (function, input,
// output, message, work directory); after them come the choice for an existing output, what the
// unpacker found out, and the callbacks that report progress and take a cancel.
struct StreamRequest {
    uint32_t function = 0;                   // in    StreamFunction
    char inputPath[StreamPathSize] = {};     // in    full path of the archive
    char outputPath[StreamPathSize] = {};    // out   Unpack: full path of the file made
    char message[StreamMessageSize] = {};    // out   why the call failed; after Identify of a plain
                                             //       file, why it is not a compressed stream
    char workDirectory[StreamPathSize] = {}; // in    Unpack: where the file is made (made if missing)

    uint32_t existingOutput = 0; // in    Unpack: StreamExisting
    uint32_t holdsTar = 0;       // out   1 when the (unpacked) data begins with a TAR header
    uint64_t unpackedSize = 0;   // out   Unpack, Test: bytes of unpacked data
    uint32_t warnings = 0;       // out   how many warnings the message callback was given
    // Progress ("Unpacking: NAME" and the percentage of the input read) and cancel: returning 1
    // stops the call, which then fails with EngineResult::Cancelled and leaves no output behind.
    EngineStatusCallback statusCallback = nullptr;
    void* statusCallbackData = nullptr;
    // Warnings that do not stop the call, such as data after the end of a GZIP stream.
    EngineMessageCallback messageCallback = nullptr;
    void* messageCallbackData = nullptr;
};

// Runs the request synchronously. Identify returns a StreamType (StreamType::Plain also when the
// file cannot be read, with the reason in message). Unpack and Test return 0 when the data was whole
// and every check passed, otherwise an EngineResult with message saying why: CannotOpenArchive,
// BadArchive (not a compressed stream), CrcError (damaged, truncated or failing its check),
// CannotCreate, WriteError, EntriesSkipped (the output exists), Cancelled, BadArgument. The output
// is named from the input's own file name (x.tgz gives x.tar, x.gz gives x), never from a name the
// stream carries, and appears only once it is whole.
uint32_t untarStream(StreamRequest* request);

} // namespace quarvo
