#pragma once

#include "core/base/Result.h"
#include "engines/dzip/HuffmanOnlyCoder.h"

#include <cstdint>
#include <string>
#include <vector>

struct libdeflate_compressor;

namespace quarvo {

// How new entries are encoded: the deflate level (0 stores) and the password, when encrypting.
struct EncodingOptions {
    int deflateLevel = 6;
    bool encrypt = false;
    bool aes = false; // encrypt with AES-256 (AE-2) rather than the traditional cipher
    std::string password;
};

// The compression level field as the command block gives it: 0 stores, 1..8 deflate at level
// value + 1 (the default 5 gives the usual level 6), anything above 8 deflates at the strongest.
int deflateLevelFor(uint32_t compressionLevelField);

// An entry's data as it goes into the archive, with what its headers must say about it.
struct EncodedData {
    uint16_t method = 0;
    uint16_t flags = 0;
    uint32_t crc32 = 0;
    uint64_t uncompressedSize = 0;
    // The data that follows the local header: encryption header, or AES salt, verifier and
    // authentication code, included.
    std::vector<uint8_t> payload;
    // The extra field the entry's headers carry: AES's 0x9901 field, or nothing.
    std::string extra;
};

// Owns one libdeflate compressor per level; one object per thread.
class BufferEncoder {
  public:
    BufferEncoder() = default;
    ~BufferEncoder();
    BufferEncoder(const BufferEncoder&) = delete;
    BufferEncoder& operator=(const BufferEncoder&) = delete;

    // Encodes a whole file's bytes: deflated at the level, or stored when deflating would not make
    // them smaller; then encrypted when asked. The input is released when done. Fails only when AES
    // keys cannot be made (no random bytes).
    Result<EncodedData> encode(std::vector<uint8_t>&& data, const EncodingOptions& options);

  private:
    libdeflate_compressor* compressorFor(int level);
    // Fills payload with headerSize bytes of room, then data coded as deflate (see chooseCoding);
    // false when that would not make it smaller, and the data is to be stored.
    bool deflateInto(const std::vector<uint8_t>& data, int level, size_t headerSize, std::vector<uint8_t>& payload);

    libdeflate_compressor* m_compressor = nullptr;
    int m_level = -1;
    HuffmanOnlyCoder m_huffman;
    std::vector<uint8_t> m_sample; // a sample coded one way, or Huffman codes' trial output
};

// Turns an entry's method, flags and CRC into those of AES-256 (AE-2) encryption over the same data,
// with the extra field that names the method underneath.
void markAesEncrypted(EncodedData& data);

// Deflated output this large or larger relative to the input means the data has few long repeats:
// its bytes are closer to noise with a skewed distribution (tables of small numbers, samples), which
// Huffman codes alone often code smaller.
constexpr size_t PoorRatioPercent = 50;

// The libdeflate level used for a zlib deflate level: about the same output size, much faster.
int libdeflateLevelFor(int level);
// The same for the pieces a large file is deflated in, each without the previous one as dictionary.
int libdeflatePieceLevelFor(int level);

// The general-purpose flag bits 1 and 2 that tell a reader how hard a deflated entry was squeezed.
uint16_t deflateOptionFlags(int level);

// CRC-32 of bytes, continuing from crc (0 to start).
uint32_t updateCrc32(uint32_t crc, const uint8_t* data, size_t size);
// The CRC-32 of two runs of bytes one after the other, from the CRC of each and the second's size.
uint32_t combineCrc32(uint32_t first, uint32_t second, uint64_t secondSize);

// Reads a regular file whole. Fails with a text for the user when it cannot be opened or read, or
// when its size is not the expected one (it changed while the archive was being written).
bool readWholeFile(const std::string& path, uint64_t expectedSize, std::vector<uint8_t>& out,
                   std::string& error);

} // namespace quarvo
