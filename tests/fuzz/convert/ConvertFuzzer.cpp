// Feeds arbitrary bytes to the converter's readers: as a DOS program, as a Windows image record and
// as an archive to convert. Each must refuse what it cannot use without reading past the bytes
// given, and what it accepts must keep its promises.

#include "FuzzCheck.h"

#include "core/convert/ArchiveConverter.h"
#include "core/convert/BuiltInStubs.h"
#include "core/convert/DosStub.h"
#include "core/convert/WindowsImage.h"
#include "core/zip/ByteSource.h"

#include <unistd.h>

#include <cstdint>
#include <span>
#include <string>

using quarvo::fuzz::check;

namespace {

// One output path per process; the writer removes its temporary file when it is not committed.
const std::string& outputPath()
{
    static const std::string path = "/tmp/quarvo-fuzz-convert-" + std::to_string(::getpid());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quarvo;
    std::span<const uint8_t> bytes(data, size);

    if (auto stub = layOutDosStub(bytes)) {
        check(stub->program.size() == stub->programLength && stub->programLength <= size);
        check(stub->paddedLength % 16 == 0 && stub->paddedLength > stub->programLength);
    }
    if (auto image = relocateWindowsImage(bytes, 0x200))
        check(size >= 8 && image->size() == static_cast<size_t>(bytes[0] | bytes[1] << 8));

    MemoryByteSource source(bytes);
    auto out = ReplacingFile::create(outputPath());
    if (!out)
        return 0;
    const ConversionStubs stubs{builtInDosStub(), builtInWindowsImageRecord(), {}};
    const ConversionMode mode = size % 2 == 0 ? ConversionMode::Zip : ConversionMode::WindowsExe;
    (void)writeConvertedArchive(source, *out, mode, stubs);
    return 0;
}
