// Hand-made streams for what tells Deflate64 from deflate: length code 285 with its 16 extra bits,
// and distance codes 30 and 31. 7-Zip's streams (in the interoperability tests) use the far
// distances; these make sure of the rest, and that deflate still refuses what is Deflate64's only.

#include "engines/dunzip/Inflater.h"
#include "core/zip/ByteSource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarvo {
namespace {

// Writes a deflate bit stream: fields least significant bit first, Huffman codes most significant
// bit first, as RFC 1951 packs them.
class BitWriter {
  public:
    void field(uint32_t value, unsigned bits)
    {
        for (unsigned i = 0; i < bits; ++i)
            bit((value >> i) & 1);
    }
    void code(uint32_t value, unsigned bits)
    {
        for (unsigned i = bits; i-- > 0;)
            bit((value >> i) & 1);
    }
    // A symbol of the fixed literal/length code.
    void fixedSymbol(unsigned symbol)
    {
        if (symbol < 144)
            code(0x30 + symbol, 8);
        else if (symbol < 256)
            code(0x190 + symbol - 144, 9);
        else if (symbol < 280)
            code(symbol - 256, 7);
        else
            code(0xC0 + symbol - 280, 8);
    }
    void storedBlock(const std::string& bytes)
    {
        field(0, 1); // not the last block
        field(0, 2);
        while (m_used != 0)
            bit(0);
        field(static_cast<uint32_t>(bytes.size()), 16);
        field(static_cast<uint32_t>(~bytes.size() & 0xFFFF), 16);
        for (char c : bytes)
            field(static_cast<uint8_t>(c), 8);
    }
    std::string bytes() const { return m_used ? m_bytes + static_cast<char>(m_current) : m_bytes; }

  private:
    void bit(uint32_t value)
    {
        m_current |= value << m_used;
        if (++m_used == 8) {
            m_bytes += static_cast<char>(m_current);
            m_current = 0;
            m_used = 0;
        }
    }
    std::string m_bytes;
    uint32_t m_current = 0;
    unsigned m_used = 0;
};

std::pair<DecodeStatus, std::string> inflate(const std::string& stream, InflateVariant variant)
{
    MemoryByteSource source({reinterpret_cast<const uint8_t*>(stream.data()), stream.size()});
    EntryDataStream input(source, 0, stream.size());
    std::string output;
    const DecodeStatus status = inflateStream(
        input,
        [&](std::span<const uint8_t> bytes) {
            output.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            return DecodeStatus::Ok;
        },
        variant);
    return {status, output};
}

// "a", then a copy of the byte before (distance code 0) whose length comes from code 285.
std::string runOfA(uint32_t extraLengthBits, bool deflate64)
{
    BitWriter writer;
    writer.field(1, 1); // last block
    writer.field(1, 2); // fixed codes
    writer.fixedSymbol('a');
    writer.fixedSymbol(285);
    if (deflate64)
        writer.field(extraLengthBits, 16);
    writer.code(0, 5); // distance code 0: one back
    writer.fixedSymbol(256);
    return writer.bytes();
}

// A stored block of 40,000 bytes, then a copy from distanceCode with extra bits, 3 bytes long.
std::string farCopy(unsigned distanceCode, uint32_t extra, const std::string& stored)
{
    BitWriter writer;
    writer.storedBlock(stored);
    writer.field(1, 1);
    writer.field(1, 2);
    writer.fixedSymbol(257); // length 3
    writer.code(distanceCode, 5);
    writer.field(extra, 14);
    writer.fixedSymbol(256);
    return writer.bytes();
}

TEST(Inflater, Deflate64LengthsAndDistancesAreItsOwnAndDeflateKeepsItsRules)
{
    std::string stored;
    for (int i = 0; stored.size() < 40000; ++i)
        stored += static_cast<char>('A' + i % 26) + std::to_string(i);
    stored.resize(40000);
    struct Case {
        const char* rule;
        std::string stream;
        InflateVariant variant;
        DecodeStatus status;
        std::string output;
    };
    const Case cases[] = {
        {"285 takes 16 extra bits: 3 + 997", runOfA(997, true), InflateVariant::Deflate64, DecodeStatus::Ok,
         std::string(1001, 'a')},
        {"the longest length, 65,538", runOfA(0xFFFF, true), InflateVariant::Deflate64, DecodeStatus::Ok,
         std::string(65539, 'a')},
        {"deflate's 285 is 258 without extra bits", runOfA(0, false), InflateVariant::Deflate,
         DecodeStatus::Ok, std::string(259, 'a')},
        {"code 30 reaches 32,769 and more", farCopy(30, 100, stored), InflateVariant::Deflate64,
         DecodeStatus::Ok, stored + stored.substr(40000 - 32869, 3)},
        {"code 31 from 49,153 reaches before the start", farCopy(31, 0, stored), InflateVariant::Deflate64,
         DecodeStatus::Corrupt, ""},
        {"deflate has no code 30", farCopy(30, 100, stored), InflateVariant::Deflate, DecodeStatus::Corrupt,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const auto [status, output] = inflate(c.stream, c.variant);
        EXPECT_EQ(status, c.status);
        if (c.status == DecodeStatus::Ok)
            EXPECT_EQ(output, c.output);
    }
}

} // namespace
} // namespace quarvo
