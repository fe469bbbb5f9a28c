// Feeds arbitrary bytes to the stream decoders and the TAR reader as the engine reads an archive
// file: the kind is told by the first bytes, the unpacked data read header by header with every
// entry's data, then the rest of the stream. The first byte also sets how short the reads are, so
// the readers meet every way of cutting their input. No entry may hand out more data than its
// header declares, and a name the path rules accept must lead nowhere outside the destination.

#include "engines/api/UntarCommand.h"
#include "engines/common/EntryPath.h"
#include "engines/untar/DecodedStream.h"
#include "engines/untar/FileStream.h"
#include "engines/untar/TarReader.h"
#include "engines/untar/Utf8ThreadLocale.h"

#include "FuzzCheck.h"

#include <cstdint>
#include <memory>

namespace {

using namespace quarvo;

constexpr EntryNameRules TarNameRules{.backslashIsSeparator = false, .refuseDrivePrefix = false};
// A cap on the unpacked data one input may produce, so that a small bomb is a slow input at worst.
constexpr uint64_t MaximumUnpacked = 256ull << 20;

void checkName(const TarHeader& header)
{
    Result<EntryPath> path = splitEntryPath(header.name, header.name, TarNameRules);
    if (!path)
        return;
    for (const std::string& component : path->components)
        fuzz::check(!component.empty() && component != "." && component != ".." &&
                    component.find('/') == std::string::npos);
    if (header.type == TarEntryType::SymbolicLink &&
        linkTargetStaysInside(path->components, header.linkTarget))
        fuzz::check(!header.linkTarget.empty() && header.linkTarget.front() != '/');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    Utf8ThreadLocale utf8;
    // 0 reads everything at once; otherwise reads of 1 to 63 bytes.
    const size_t pieces = data[0] % 64 == 0 ? SIZE_MAX : data[0] % 64;
    auto input = std::make_unique<MemoryStream>(std::span<const uint8_t>(data + 1, size - 1), pieces);
    Result<DecodedStream, StreamError> stream = openDecodedStream(
        std::move(input), [](const std::string&) {}, Decoding::Inline);
    if (!stream)
        return 0;
    uint64_t unpacked = 0;
    TarReader reader(*stream->data);
    for (;;) {
        Result<TarStep, TarError> step = reader.next();
        if (!step || !step->entry)
            break;
        checkName(*step->entry);
        uint64_t end = 0;
        Result<bool, TarError> read = reader.readData([&](uint64_t offset, std::span<const uint8_t> bytes) {
            end = offset + bytes.size();
            fuzz::check(end >= offset && end <= step->entry->size);
            unpacked += bytes.size();
            return unpacked < MaximumUnpacked;
        });
        if (!read || read.value())
            return 0;
    }
    while (unpacked < MaximumUnpacked) {
        Result<std::span<const uint8_t>, StreamError> rest = stream->data->read();
        if (!rest || rest->empty())
            break;
        unpacked += rest->size();
    }
    return 0;
}
