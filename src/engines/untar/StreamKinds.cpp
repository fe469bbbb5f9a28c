#include "engines/untar/StreamKinds.h"

#include "engines/api/StreamRequest.h"
#include "engines/untar/StreamFormat.h"
#include "engines/untar/TarFormat.h"

#include <algorithm>
#include <optional>

namespace quarvo {

namespace {

namespace sf = streamformat;
namespace tf = tarformat;

template <size_t N> bool startsWith(std::span<const uint8_t> head, const std::array<uint8_t, N>& signature)
{
    return head.size() >= N && std::equal(signature.begin(), signature.end(), head.begin());
}

// The stored checksum: octal digits, possibly after spaces, ended by a NUL or a space. Nothing when
// the field holds anything else.
std::optional<unsigned> storedChecksum(std::span<const uint8_t> field)
{
    size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    unsigned value = 0;
    size_t digits = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '7'; ++i, ++digits)
        value = value * 8 + (field[i] - '0');
    if (digits == 0 || (i < field.size() && field[i] != 0 && field[i] != ' '))
        return std::nullopt;
    return value;
}

} // namespace

uint32_t streamTypeOf(std::span<const uint8_t> head)
{
    if (startsWith(head, sf::Gzip))
        return StreamType::Gzip;
    if (startsWith(head, sf::Compress))
        return StreamType::Compress;
    if (startsWith(head, sf::Bzip2) && head.size() > 3 && head[3] >= '1' && head[3] <= '9')
        return StreamType::Bzip2;
    if (startsWith(head, sf::Xz))
        return StreamType::Xz;
    if (startsWith(head, sf::Zstandard))
        return StreamType::Zstandard;
    if (startsWith(head, sf::Lzip))
        return StreamType::Lzip;
    return StreamType::Plain;
}

std::string_view streamTypeName(uint32_t type)
{
    switch (type) {
    case StreamType::Gzip:
        return "GZIP";
    case StreamType::Compress:
        return "compress (LZW)";
    case StreamType::Bzip2:
        return "BZIP2";
    case StreamType::Xz:
        return "XZ";
    case StreamType::Zstandard:
        return "Zstandard";
    case StreamType::Lzip:
        return "LZIP";
    default:
        return "plain";
    }
}

bool startsLikeTar(std::span<const uint8_t> head)
{
    if (head.size() < tf::BlockSize)
        return false;
    const std::span<const uint8_t> block = head.first(tf::BlockSize);
    if (std::all_of(block.begin(), block.end(), [](uint8_t byte) { return byte == 0; }))
        return true;
    const std::optional<unsigned> stored =
        storedChecksum(block.subspan(tf::header::Checksum, tf::header::ChecksumLength));
    if (!stored)
        return false;
    unsigned unsignedSum = tf::ChecksumFieldValue;
    int signedSum = static_cast<int>(tf::ChecksumFieldValue);
    for (size_t i = 0; i < block.size(); ++i) {
        if (i >= tf::header::Checksum && i < tf::header::Checksum + tf::header::ChecksumLength)
            continue;
        unsignedSum += block[i];
        signedSum += static_cast<int8_t>(block[i]);
    }
    // Some old tar programs (early SunOS and GNU tar) summed the header as signed bytes, which
    // differs for names with bytes above 0x7F; libarchive reads such headers, so both sums count.
    return *stored == unsignedSum || static_cast<int>(*stored) == signedSum;
}

} // namespace quarvo
