#include "core/zip/ZipMethodNames.h"

#include "core/zip/ZipEntry.h"
#include "core/zip/ZipFormat.h"

namespace quarvo {

std::string_view compressionMethodName(uint16_t method)
{
    namespace m = zipformat::method;
    switch (method) {
    case m::Stored:
        return "Stored";
    case m::Shrunk:
        return "Shrunk";
    case m::Reduced1:
    case m::Reduced2:
    case m::Reduced3:
    case m::Reduced4:
        return "Reduced";
    case m::Imploded:
        return "Implode";
    case m::Deflated:
        return "Deflate";
    case m::Deflate64:
        return "Defl64";
    case m::PkwareImplode:
        return "DCL";
    case m::Bzip2:
        return "BZip2";
    case m::Lzma:
        return "LZMA";
    case m::Zstandard:
        return "Zstd";
    case m::Xz:
        return "XZ";
    case m::Jpeg:
        return "JPEG";
    case m::WavPack:
        return "WavPack";
    case m::Ppmd:
        return "PPMd";
    case m::Aes:
        return "AES";
    default:
        return {};
    }
}

std::string entryMethodText(const ZipEntry& entry)
{
    const uint16_t method = entry.compressionMethod();
    std::string text(compressionMethodName(method));
    if (text.empty())
        text = "method " + std::to_string(method);
    if (entry.aes)
        return text + ", AES-" + std::to_string(entry.aes->keyBits());
    if (entry.isEncrypted())
        return text + ", encrypted";
    return text;
}

} // namespace quarvo
