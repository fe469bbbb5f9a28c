#pragma once

#include "core/base/Result.h"
#include "core/convert/ConvertError.h"
#include "core/convert/ReplacingFile.h"

#include <cstdint>
#include <span>
#include <string>

namespace quarvo {

class ByteSource;

// What a converted archive stands behind.
enum class ConversionMode {
    Zip = 0,            // nothing: a plain ZIP archive, long names kept
    DosExe = 1,         // the DOS program, padded to a 16-byte boundary; short names
    WindowsExe = 2,     // the DOS program, then the Windows "NE" image moved behind it; short names
    LinuxExtractor = 3, // our Linux extractor program as it is; long names kept
};

// The programs the modes put in front of the archive. Only those the mode needs must be given.
struct ConversionStubs {
    std::span<const uint8_t> dosStub;            // an MS-DOS program
    std::span<const uint8_t> windowsImageRecord; // the 8-byte record, then the "NE" image
    std::span<const uint8_t> linuxExtractor;     // an executable that extracts the archive behind it
};

// Writes the archive in source, converted, to out: the mode's program part, then every entry's
// local record copied byte for byte (local header, data and data descriptor, whatever stood in
// front of the first entry dropped), then the central directory and end record rebuilt with the new
// positions. The central directory drives the copy: each central record names its local record by
// offset and its data by size, at their full ZIP64 width, and the two are paired by their position
// in the directory, never by name. DOS and Windows programs get short names (ShortNameMap), the same
// in both headers of an entry. ZIP64 extra fields and end records are kept and written where the new
// positions need them. Nothing is committed: the caller commits out on success.
Result<Ok, ConvertError> writeConvertedArchive(ByteSource& source, ReplacingFile& out, ConversionMode mode,
                                               const ConversionStubs& stubs);

// Converts the archive at sourcePath into targetPath, atomically: the target (which may be the
// source itself) is replaced only once the new file is whole and on the disk, and no temporary file
// is left after a failure. A Linux extractor's output is made executable. write stands for write(2)
// in tests.
Result<Ok, ConvertError> convertArchive(const std::string& sourcePath, const std::string& targetPath,
                                        ConversionMode mode, const ConversionStubs& stubs,
                                        ReplacingFile::WriteCall write = {});

} // namespace quarvo
