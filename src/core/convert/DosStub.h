#pragma once

#include "core/base/Result.h"
#include "core/convert/ConvertError.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quarvo {

// The DOS program put in front of a converted archive, ready to be written.
struct DosStubLayout {
    // The header with its checksum cleared and its new-header offset set to paddedLength, then the
    // rest of the program; programLength bytes in all.
    std::vector<uint8_t> program;
    // S: the program's length by its header's page fields.
    uint32_t programLength = 0;
    // P: S with its low four bits cleared, plus 16; zero bytes fill the gap up to it. A Windows
    // image, or the archive, starts here.
    uint32_t paddedLength = 0;
};

// Checks that file is an MS-DOS program and lays it out for a converted archive. The header must be
// whole and start with "MZ"; its page fields give the length (a last-page count of 0 means a full
// page), which must be at least the header and no more than the file; a header that points at an
// "NE" header of its own is refused, since the stub must be a plain DOS program.
Result<DosStubLayout, ConvertError> layOutDosStub(std::span<const uint8_t> file);

// The program length S that the header's page fields give, or nothing when they are impossible
// (a last-page count over 512, no pages). Shared with the tests of the stub we build.
std::optional<uint32_t> dosProgramLength(std::span<const uint8_t> header);

} // namespace quarvo
