// Feeds arbitrary bytes to the AES side of the entry decoder: an extra field that may or may not hold
// a usable 0x9901 block, then an entry's data (salt, verifier, encrypted data, authentication code)
// decoded with the password "fuzz". Output never exceeds the declared size, and a damaged entry ends
// with a status, never a crash or a read outside its data.

#include "FuzzCheck.h"
#include "core/zip/ByteSource.h"
#include "core/zip/WinZipAesField.h"
#include "engines/dunzip/EntryDecoder.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quarvo;
    // Byte 0: length of the extra field that follows; then three bytes of declared size.
    if (size < 4 || size < 4u + data[0])
        return 0;
    const std::span<const uint8_t> extra(data + 1, data[0]);
    const size_t header = 4u + data[0];
    Result<WinZipAesField, AesFieldError> field = parseWinZipAesField(extra);
    if (!field) {
        fuzz::check(describeAesFieldError(field.error())[0] != '\0');
        return 0;
    }
    fuzz::check(field->keyBits() == 128 || field->keyBits() == 192 || field->keyBits() == 256);

    DecodeRequest request;
    request.encrypted = true;
    request.aes = field.value();
    request.method = field->actualMethod;
    request.password = "fuzz";
    request.uncompressedSize = data[header - 3] | data[header - 2] << 8 | data[header - 1] << 16;
    request.dataOffset = header;
    request.compressedSize = size - header;
    if (!isDecodableMethod(request.method))
        return 0;
    MemoryByteSource source({data, size});
    uint64_t produced = 0;
    const DecodeResult result = decodeEntry(
        source, request,
        [&](std::span<const uint8_t> bytes) {
            produced += bytes.size();
            return true;
        },
        [](uint64_t) { return true; });
    fuzz::check(produced <= request.uncompressedSize && result.bytesOut == produced);
    // Memory neither fails to read nor refuses output.
    fuzz::check(result.status != DecodeStatus::ReadError && result.status != DecodeStatus::OutputFailed &&
                result.status != DecodeStatus::Cancelled);
    return 0;
}
