#pragma once

#include <cstdint>
#include <span>

namespace quarvo {

// Our own programs for the DOS and Windows self-extractor forms, made at build time by
// quarvo-stubgen (stubs/StubGenerator.cpp, which documents every byte). Neither extracts anything:
// each tells whoever runs it that the file is a ZIP archive to open with a ZIP program.

// An MS-DOS program of a few hundred bytes that prints that message and exits with status 1.
std::span<const uint8_t> builtInDosStub();

// The Windows image record: u16 length L, u16 0, u16 original offset O, u16 0, then L bytes of a
// minimal "NE" image (one code segment that exits, one data resource holding the message, the
// module name and description), laid out as if its "NE" header stood at O.
std::span<const uint8_t> builtInWindowsImageRecord();

} // namespace quarvo
