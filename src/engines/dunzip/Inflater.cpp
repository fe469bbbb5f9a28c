#include "engines/dunzip/Inflater.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace quarvo {

namespace {

constexpr unsigned MaximumCodeLength = 15;
constexpr size_t LiteralLengthCodes = 288; // 286 and 287 take part in the fixed code only
constexpr size_t DistanceCodes = 32;       // 30 and 31 are Deflate64's
constexpr size_t CodeLengthCodes = 19;
constexpr uint16_t EndOfBlock = 256;
// The window keeps what was written since the last hand-over plus the farthest a distance reaches:
// a hand-over happens once 64 KiB are pending, and one match adds at most 65,538 more.
constexpr size_t WindowSize = size_t{1} << 18;
constexpr size_t WindowMask = WindowSize - 1;
constexpr size_t HandOverSize = size_t{1} << 16;
constexpr size_t InputPieceSize = 64 * 1024;

constexpr std::array<uint8_t, CodeLengthCodes> CodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                  11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr std::array<uint16_t, 29> LengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                 15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> LengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint32_t, DistanceCodes> DistanceBase = {
    1,   2,   3,   4,   5,    7,    9,    13,   17,   25,   33,   49,    65,    97,    129,   193,
    257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr std::array<uint8_t, DistanceCodes> DistanceExtra = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};

// Bits of the compressed data, least significant first, read in pieces from the entry's data.
class BitInput {
  public:
    explicit BitInput(EntryDataStream& stream) : m_stream(stream), m_buffer(InputPieceSize) {}

    // Makes count (at most 32) bits available; false when the data ends first or cannot be read.
    bool need(unsigned count)
    {
        while (m_count < count) {
            if (m_position == m_end && !refill())
                return false;
            m_bits |= static_cast<uint64_t>(m_buffer[m_position++]) << m_count;
            m_count += 8;
        }
        return true;
    }
    // Takes in as many bits as are there, up to count; returns how many are available.
    unsigned fillUpTo(unsigned count)
    {
        while (m_count < count && (m_position < m_end || refill())) {
            m_bits |= static_cast<uint64_t>(m_buffer[m_position++]) << m_count;
            m_count += 8;
        }
        return std::min(m_count, count);
    }
    uint32_t peek(unsigned count) const
    {
        return static_cast<uint32_t>(m_bits & ((uint64_t{1} << count) - 1));
    }
    void drop(unsigned count)
    {
        m_bits >>= count;
        m_count -= count;
    }
    uint32_t take(unsigned count)
    {
        const uint32_t value = peek(count);
        drop(count);
        return value;
    }
    void dropToByteBoundary() { drop(m_count % 8); }
    // Why need() failed: the data ended (the stream wants more than the entry holds) or a read failed.
    DecodeStatus failure() const { return m_readFailure.value_or(DecodeStatus::Corrupt); }

  private:
    bool refill()
    {
        std::optional<size_t> count = m_stream.read(m_buffer);
        if (!count) {
            m_readFailure = m_stream.failure();
            return false;
        }
        m_position = 0;
        m_end = *count;
        return *count > 0;
    }

    EntryDataStream& m_stream;
    std::vector<uint8_t> m_buffer;
    size_t m_position = 0;
    size_t m_end = 0;
    uint64_t m_bits = 0;
    unsigned m_count = 0;
    std::optional<DecodeStatus> m_readFailure;
};

// A canonical Huffman code for decoding: a table for codes of up to FastBits bits, and the counts and
// symbols in code order for the longer ones.
class HuffmanCode {
  public:
    static constexpr unsigned FastBits = 10;

    // Builds the code from the symbols' lengths (0: unused). Fails for lengths that claim more codes
    // than there are, and for an incomplete set, which zlib takes only when it holds a single code of
    // one bit (or, when allowEmpty, no code at all).
    bool build(std::span<const uint8_t> lengths, bool allowIncomplete, bool allowEmpty)
    {
        m_counts.fill(0);
        m_fast.fill(0);
        for (uint8_t length : lengths)
            ++m_counts[length];
        m_counts[0] = 0;
        if (std::all_of(m_counts.begin(), m_counts.end(), [](uint16_t count) { return count == 0; }))
            return allowEmpty;
        int left = 1;
        unsigned longest = 0;
        for (unsigned length = 1; length <= MaximumCodeLength; ++length) {
            left = left * 2 - m_counts[length];
            if (left < 0)
                return false;
            if (m_counts[length] > 0)
                longest = length;
        }
        if (left > 0 && !(allowIncomplete && longest == 1))
            return false;

        std::array<uint16_t, MaximumCodeLength + 1> offsets{};
        for (unsigned length = 1; length < MaximumCodeLength; ++length)
            offsets[length + 1] = static_cast<uint16_t>(offsets[length] + m_counts[length]);
        for (size_t symbol = 0; symbol < lengths.size(); ++symbol) {
            if (lengths[symbol] != 0)
                m_symbols[offsets[lengths[symbol]]++] = static_cast<uint16_t>(symbol);
        }
        // Codes are assigned in order of length, then symbol; a code is read first bit first, so the
        // table is indexed by it bit-reversed.
        uint32_t code = 0;
        size_t index = 0;
        for (unsigned length = 1; length <= FastBits; ++length) {
            for (uint16_t i = 0; i < m_counts[length]; ++i, ++code, ++index) {
                const uint32_t reversed = reverse(code, length);
                for (uint32_t fill = reversed; fill < (1u << FastBits); fill += 1u << length)
                    m_fast[fill] = static_cast<uint16_t>(m_symbols[index] << 4 | length);
            }
            code <<= 1;
        }
        return true;
    }

    // Decodes one symbol; false for a code the set does not hold or data that ends inside one.
    bool decode(BitInput& input, uint16_t& symbol) const
    {
        const unsigned available = input.fillUpTo(FastBits);
        const uint16_t entry = m_fast[input.peek(available)];
        const unsigned length = entry & 0xF;
        if (length != 0 && length <= available) {
            input.drop(length);
            symbol = entry >> 4;
            return true;
        }
        // A longer code, taken bit by bit.
        int code = 0, first = 0, index = 0;
        for (unsigned bits = 1; bits <= MaximumCodeLength; ++bits) {
            if (!input.need(1))
                return false;
            code |= static_cast<int>(input.take(1));
            const int count = m_counts[bits];
            if (code - count < first) {
                symbol = m_symbols[static_cast<size_t>(index + (code - first))];
                return true;
            }
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return false;
    }

  private:
    static uint32_t reverse(uint32_t code, unsigned length)
    {
        uint32_t reversed = 0;
        for (unsigned i = 0; i < length; ++i, code >>= 1)
            reversed = reversed << 1 | (code & 1);
        return reversed;
    }

    std::array<uint16_t, MaximumCodeLength + 1> m_counts{};
    std::array<uint16_t, LiteralLengthCodes> m_symbols{};
    std::array<uint16_t, 1u << FastBits> m_fast{}; // symbol << 4 | length; 0 where the code is longer
};

class Inflater {
  public:
    Inflater(EntryDataStream& input, const DecodedOutput& output, InflateVariant variant)
        : m_input(input), m_output(output), m_deflate64(variant == InflateVariant::Deflate64),
          m_window(WindowSize)
    {
    }

    DecodeStatus run()
    {
        bool last = false;
        while (!last) {
            if (!m_input.need(3))
                return m_input.failure();
            last = m_input.take(1) == 1;
            DecodeStatus status = DecodeStatus::Corrupt;
            switch (m_input.take(2)) {
            case 0:
                status = storedBlock();
                break;
            case 1:
                status = fixedBlock();
                break;
            case 2:
                status = dynamicBlock();
                break;
            default: // block type 3 does not exist
                break;
            }
            if (status != DecodeStatus::Ok)
                return status;
        }
        return handOver();
    }

  private:
    DecodeStatus handOver()
    {
        while (m_handedOver < m_written) {
            const size_t start = static_cast<size_t>(m_handedOver & WindowMask);
            const size_t count = static_cast<size_t>(
                std::min<uint64_t>({m_written - m_handedOver, WindowSize - start, HandOverSize}));
            if (DecodeStatus status = m_output(std::span<const uint8_t>(m_window).subspan(start, count));
                status != DecodeStatus::Ok)
                return status;
            m_handedOver += count;
        }
        return DecodeStatus::Ok;
    }

    void put(uint8_t byte) { m_window[static_cast<size_t>(m_written++ & WindowMask)] = byte; }

    DecodeStatus storedBlock()
    {
        m_input.dropToByteBoundary();
        if (!m_input.need(32))
            return m_input.failure();
        const uint32_t length = m_input.take(16);
        if (m_input.take(16) != (~length & 0xFFFF))
            return DecodeStatus::Corrupt;
        for (uint32_t i = 0; i < length; ++i) {
            if (!m_input.need(8))
                return m_input.failure();
            put(static_cast<uint8_t>(m_input.take(8)));
            if (m_written - m_handedOver >= HandOverSize) {
                if (DecodeStatus status = handOver(); status != DecodeStatus::Ok)
                    return status;
            }
        }
        return DecodeStatus::Ok;
    }

    DecodeStatus fixedBlock()
    {
        if (!m_fixedBuilt) {
            std::array<uint8_t, LiteralLengthCodes> literal{};
            std::fill(literal.begin(), literal.begin() + 144, 8);
            std::fill(literal.begin() + 144, literal.begin() + 256, 9);
            std::fill(literal.begin() + 256, literal.begin() + 280, 7);
            std::fill(literal.begin() + 280, literal.end(), 8);
            std::array<uint8_t, DistanceCodes> distance{};
            distance.fill(5);
            m_fixedLiteral.build(literal, false, false);
            m_fixedDistance.build(distance, false, false);
            m_fixedBuilt = true;
        }
        return codes(m_fixedLiteral, m_fixedDistance);
    }

    DecodeStatus dynamicBlock()
    {
        if (!m_input.need(14))
            return m_input.failure();
        const unsigned literalCount = m_input.take(5) + 257;
        const unsigned distanceCount = m_input.take(5) + 1;
        const unsigned codeLengthCount = m_input.take(4) + 4;
        if (literalCount > 286 || distanceCount > (m_deflate64 ? 32u : 30u))
            return DecodeStatus::Corrupt;

        std::array<uint8_t, CodeLengthCodes> codeLengthLengths{};
        for (unsigned i = 0; i < codeLengthCount; ++i) {
            if (!m_input.need(3))
                return m_input.failure();
            codeLengthLengths[CodeLengthOrder[i]] = static_cast<uint8_t>(m_input.take(3));
        }
        HuffmanCode codeLengthCode;
        if (!codeLengthCode.build(codeLengthLengths, false, false))
            return DecodeStatus::Corrupt;

        std::array<uint8_t, 286 + DistanceCodes> lengths{};
        const unsigned total = literalCount + distanceCount;
        for (unsigned i = 0; i < total;) {
            uint16_t symbol = 0;
            if (!codeLengthCode.decode(m_input, symbol))
                return m_input.failure();
            if (symbol < 16) {
                lengths[i++] = static_cast<uint8_t>(symbol);
                continue;
            }
            uint8_t repeated = 0;
            unsigned count = 0;
            const unsigned extra = symbol == 16 ? 2 : symbol == 17 ? 3 : 7;
            if (!m_input.need(extra))
                return m_input.failure();
            count = m_input.take(extra) + (symbol == 18 ? 11 : 3);
            if (symbol == 16) {
                if (i == 0)
                    return DecodeStatus::Corrupt; // nothing to repeat
                repeated = lengths[i - 1];
            }
            if (i + count > total)
                return DecodeStatus::Corrupt;
            std::fill_n(lengths.begin() + i, count, repeated);
            i += count;
        }
        if (lengths[EndOfBlock] == 0)
            return DecodeStatus::Corrupt; // a block that cannot end
        HuffmanCode literal, distance;
        if (!literal.build(std::span(lengths).first(literalCount), true, false) ||
            !distance.build(std::span(lengths).subspan(literalCount, distanceCount), true, true))
            return DecodeStatus::Corrupt;
        return codes(literal, distance);
    }

    DecodeStatus codes(const HuffmanCode& literal, const HuffmanCode& distance)
    {
        for (;;) {
            if (m_written - m_handedOver >= HandOverSize) {
                if (DecodeStatus status = handOver(); status != DecodeStatus::Ok)
                    return status;
            }
            uint16_t symbol = 0;
            if (!literal.decode(m_input, symbol))
                return m_input.failure();
            if (symbol < 256) {
                put(static_cast<uint8_t>(symbol));
                continue;
            }
            if (symbol == EndOfBlock)
                return DecodeStatus::Ok;
            const size_t lengthCode = symbol - 257u;
            if (lengthCode >= LengthBase.size())
                return DecodeStatus::Corrupt; // 286 and 287 of the fixed code
            unsigned length = LengthBase[lengthCode];
            unsigned extra = LengthExtra[lengthCode];
            if (m_deflate64 && lengthCode == LengthBase.size() - 1) {
                length = 3;
                extra = 16;
            }
            if (!m_input.need(extra))
                return m_input.failure();
            length += m_input.take(extra);

            uint16_t distanceSymbol = 0;
            if (!distance.decode(m_input, distanceSymbol))
                return m_input.failure();
            if (distanceSymbol >= (m_deflate64 ? 32 : 30))
                return DecodeStatus::Corrupt;
            if (!m_input.need(DistanceExtra[distanceSymbol]))
                return m_input.failure();
            const uint64_t back = DistanceBase[distanceSymbol] + m_input.take(DistanceExtra[distanceSymbol]);
            if (back > m_written)
                return DecodeStatus::Corrupt; // reaches before the start of the data
            for (unsigned i = 0; i < length; ++i)
                put(m_window[static_cast<size_t>((m_written - back) & WindowMask)]);
        }
    }

    BitInput m_input;
    const DecodedOutput& m_output;
    bool m_deflate64;
    std::vector<uint8_t> m_window;
    uint64_t m_written = 0;
    uint64_t m_handedOver = 0;
    HuffmanCode m_fixedLiteral, m_fixedDistance;
    bool m_fixedBuilt = false;
};

} // namespace

DecodeStatus inflateStream(EntryDataStream& input, const DecodedOutput& output, InflateVariant variant)
{
    return Inflater(input, output, variant).run();
}

} // namespace quarvo
