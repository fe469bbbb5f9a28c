#include "engines/dzip/EntryEncoder.h"

#include "core/zip/ZipFormat.h"
#include "engines/common/PkwareCipher.h"
#include "engines/dzip/AesEntryEncryption.h"
#include "engines/dzip/CodingChoice.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <optional>
#include <cerrno>
#include <cstring>

namespace quarvo {

int deflateLevelFor(uint32_t compressionLevelField)
{
    if (compressionLevelField == 0)
        return 0;
    if (compressionLevelField >= 8)
        return 9;
    return static_cast<int>(compressionLevelField) + 1;
}

uint16_t deflateOptionFlags(int level)
{
    if (level >= 8)
        return zipformat::flag::CompressionOption1; // maximum
    if (level <= 2)
        return zipformat::flag::CompressionOption2; // fast
    return 0;
}

uint32_t updateCrc32(uint32_t crc, const uint8_t* data, size_t size)
{
    return libdeflate_crc32(crc, data, size);
}

uint32_t combineCrc32(uint32_t first, uint32_t second, uint64_t secondSize)
{
    return static_cast<uint32_t>(crc32_combine64(first, second, static_cast<z_off64_t>(secondSize)));
}

void markAesEncrypted(EncodedData& data)
{
    data.extra = AesEntryEncryption::extraField(data.method);
    data.method = zipformat::method::Aes;
    data.flags |= zipformat::flag::Encrypted;
    data.crc32 = 0; // AE-2: the authentication code checks the data
}

int libdeflateLevelFor(int level)
{
    // libdeflate's level gives output about as small as zlib's at the same level (smaller once
    // Huffman codes alone have been tried on poorly deflated data) at two to three times the
    // speed. The default level 6 takes libdeflate's 5, a fifth faster: with that trial its output
    // stays smaller than zlib's 6 on source trees, small text files and large mixed files alike.
    // Level 8 takes nearly twice the time of 7 to save about two bytes in a thousand, and above 9
    // libdeflate switches to a far slower parser, so the strongest levels stop at 7: still smaller
    // than zlib's 9.
    if (level == 6)
        return 5;
    return std::min(level, 7);
}

int libdeflatePieceLevelFor(int level)
{
    // A piece starts without the previous piece as dictionary, so the default level deflates
    // pieces at libdeflate's 6 rather than the 5 a whole file gets: a 1 GB file then comes out
    // within 0.6% of one zlib level-6 stream (1.4% at 5), for about a seventh more time.
    return level == 6 ? 6 : libdeflateLevelFor(level);
}

BufferEncoder::~BufferEncoder()
{
    if (m_compressor)
        libdeflate_free_compressor(m_compressor);
}

libdeflate_compressor* BufferEncoder::compressorFor(int level)
{
    level = libdeflateLevelFor(level);
    if (m_level != level) {
        if (m_compressor)
            libdeflate_free_compressor(m_compressor);
        m_compressor = libdeflate_alloc_compressor(level);
        m_level = m_compressor ? level : -1;
    }
    return m_compressor;
}

bool BufferEncoder::deflateInto(const std::vector<uint8_t>& data, int level, size_t headerSize,
                                std::vector<uint8_t>& payload)
{
    libdeflate_compressor* compressor = compressorFor(level);
    if (!compressor)
        return false;
    const Coding coding = chooseCoding(data, compressor, m_huffman, m_sample);
    if (coding == Coding::Stored)
        return false;
    // Room in front for the encryption header, and for one byte less than the input: coding that
    // does not fit there would not make the entry smaller, and the data is stored instead.
    payload.resize(headerSize + data.size() - 1);
    const std::span<uint8_t> room(payload.data() + headerSize, data.size() - 1);
    size_t written = 0;
    if (coding == Coding::Deflate)
        written = libdeflate_deflate_compress(compressor, data.data(), data.size(), room.data(), room.size());
    if (coding == Coding::HuffmanOnly || (written > 0 && written * 100 >= data.size() * PoorRatioPercent)) {
        // Huffman codes alone, chosen by the samples, or tried because deflate did poorly. Data
        // deflate could not shrink at all is not tried: in files too small to sample that is
        // packed data, where the trial never wins and slowed adding many small files by a sixth.
        const size_t limit = written > 0 ? written : data.size();
        if (m_huffman.code(data, true, limit, m_sample)) {
            std::copy(m_sample.begin(), m_sample.end(), room.begin());
            written = m_sample.size();
        }
        // The trial's buffer may have grown to the input's size; the worker keeps only a sample's.
        std::vector<uint8_t>(CodingSampleSize).swap(m_sample);
    }
    if (written == 0) {
        payload.clear();
        return false;
    }
    payload.resize(headerSize + written);
    // Finished entries waiting for the writer hold only their compressed bytes.
    payload.shrink_to_fit();
    return true;
}

Result<EncodedData> BufferEncoder::encode(std::vector<uint8_t>&& data, const EncodingOptions& options)
{
    EncodedData result;
    result.crc32 = updateCrc32(0, data.data(), data.size());
    result.uncompressedSize = static_cast<uint32_t>(data.size());
    std::optional<AesEntryEncryption> aes;
    if (options.encrypt && options.aes) {
        Result<AesEntryEncryption> started = AesEntryEncryption::start(options.password);
        if (!started)
            return started.error();
        aes.emplace(std::move(started).value());
    }
    // Room in front of the data for what the encryption puts there.
    const size_t headerSize = aes ? aes->prefix().size() : options.encrypt ? PkwareCipher::HeaderSize : 0;

    std::vector<uint8_t> payload;
    if (options.deflateLevel > 0 && data.size() > 1 && deflateInto(data, options.deflateLevel, headerSize, payload)) {
        result.method = zipformat::method::Deflated;
        result.flags |= deflateOptionFlags(options.deflateLevel);
    }
    if (result.method == zipformat::method::Stored) {
        if (headerSize == 0) {
            payload = std::move(data);
        } else {
            payload.resize(headerSize + data.size());
            if (!data.empty()) // an empty file's buffer may be null, which memcpy must not get
                std::memcpy(payload.data() + headerSize, data.data(), data.size());
        }
    }
    std::vector<uint8_t>().swap(data);

    if (aes) {
        const std::vector<uint8_t> prefix = aes->prefix();
        std::memcpy(payload.data(), prefix.data(), prefix.size());
        aes->encrypt(std::span<uint8_t>(payload.data() + headerSize, payload.size() - headerSize));
        const std::vector<uint8_t> suffix = aes->suffix();
        payload.insert(payload.end(), suffix.begin(), suffix.end());
        markAesEncrypted(result);
    } else if (options.encrypt) {
        PkwareCipher cipher(options.password);
        const auto header = cipher.makeHeader(PkwareCipher::checkByteFor(result.crc32, 0, false));
        std::memcpy(payload.data(), header.data(), header.size());
        cipher.encrypt(std::span<uint8_t>(payload.data() + headerSize, payload.size() - headerSize));
        result.flags |= zipformat::flag::Encrypted;
    }
    result.payload = std::move(payload);
    return result;
}

bool readWholeFile(const std::string& path, uint64_t expectedSize, std::vector<uint8_t>& out,
                   std::string& error)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = "Cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    out.resize(expectedSize);
    uint64_t done = 0;
    bool ok = true;
    while (true) {
        // One byte past the expected size is asked for, to notice a file that grew.
        uint8_t extra;
        uint8_t* target = done < expectedSize ? out.data() + done : &extra;
        const size_t wanted = done < expectedSize ? static_cast<size_t>(expectedSize - done) : 1;
        const ssize_t got = read(fd, target, wanted);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error = "Cannot read " + path + ": " + std::strerror(errno);
            ok = false;
            break;
        }
        if (got == 0)
            break;
        done += static_cast<uint64_t>(got);
        if (done > expectedSize) {
            break;
        }
    }
    close(fd);
    if (ok && done != expectedSize) {
        error = "The file " + path + " changed while it was being added.";
        ok = false;
    }
    return ok;
}

} // namespace quarvo
