#pragma once

#include <cstdint>

namespace quarvo {

// Results of the engines (dzip, dunzip, untar). 0 is the only success; every other value means the
// operation, or at least one entry of it, did not do what was asked. The message callback has already
// told which entry failed and why.
namespace EngineResult {
constexpr uint16_t Ok = 0;
// Never returned by an engine: the engine said Ok but counted warnings (data after the end of a
// compressed stream, which it ignored). quarvo-cli exits with it.
constexpr uint16_t Warning = 1;
// The archive is not an archive of the engine's kind, or its directory or a header is damaged or
// ambiguous.
constexpr uint16_t BadArchive = 2;
// The archive (or a part of a split set) cannot be opened for reading.
constexpr uint16_t CannotOpenArchive = 3;
// Memory ran out.
constexpr uint16_t OutOfMemory = 4;
// The new archive, a temporary file or an extracted file cannot be created.
constexpr uint16_t CannotCreate = 5;
// Writing failed: the disk is full or the file system refused the write.
constexpr uint16_t WriteError = 6;
// Data of at least one entry does not match its CRC-32 or its declared size, or the archive ends
// inside it.
constexpr uint16_t CrcError = 7;
// The password is missing or wrong for at least one encrypted entry.
constexpr uint16_t WrongPassword = 8;
// At least one entry uses a compression method or an encryption we do not support.
constexpr uint16_t UnsupportedMethod = 9;
// A field of the command block is unusable: an unparseable date, a span option, a missing path.
constexpr uint16_t BadArgument = 10;
// At least one entry was skipped or refused (an existing file without overwrite, an unsafe name,
// overlapping data) while the others were done.
constexpr uint16_t EntriesSkipped = 11;
// No file or entry matched the item specification: there was nothing to do.
constexpr uint16_t NothingToDo = 12;
// A callback returned 1. Nothing was changed.
constexpr uint16_t Cancelled = 13;
// A source file could not be read while adding.
constexpr uint16_t ReadError = 14;
// A record would need more room than its fields have (an extra field past 65,535 bytes); sizes,
// offsets and counts past 32 and 16 bits are written as ZIP64 records instead.
constexpr uint16_t TooLarge = 15;
} // namespace EngineResult

} // namespace quarvo
