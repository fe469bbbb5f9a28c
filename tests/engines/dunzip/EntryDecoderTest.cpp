#include "engines/dunzip/EntryDecoder.h"

#include "core/zip/ZipFormat.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace quarvo {
namespace {

// The bytes of a text, where a read of the part from failFrom on fails as a disk error would.
class FailingSource : public ByteSource {
  public:
    FailingSource(const std::string& bytes, uint64_t failFrom)
        : m_memory({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}), m_failFrom(failFrom)
    {
    }
    uint64_t size() const override { return m_memory.size(); }
    size_t readAt(uint64_t offset, std::span<uint8_t> into) override
    {
        if (offset >= m_failFrom)
            return 0;
        return m_memory.readAt(offset, into.first(std::min<uint64_t>(into.size(), m_failFrom - offset)));
    }

  private:
    MemoryByteSource m_memory;
    uint64_t m_failFrom;
};

// A stored entry's data is all the decoder needs to tell the archive ending inside it from a read
// that failed and from data that is there but shorter than it says.
TEST(EntryDecoder, TellsDataTheArchiveCutsFromAFailedReadAndFromShortData)
{
    const std::string data = "ten bytes!";
    struct Case {
        const char* rule;
        uint64_t compressedSize;
        uint64_t uncompressedSize;
        uint64_t failFrom;
        DecodeStatus status;
    };
    const Case cases[] = {
        {"the whole entry", 10, 10, UINT64_MAX, DecodeStatus::Ok},
        {"a compressed size past the end of the archive", 14, 14, UINT64_MAX, DecodeStatus::Truncated},
        {"a read that fails inside the archive", 10, 10, 4, DecodeStatus::ReadError},
        {"fewer bytes stored than declared", 8, 10, UINT64_MAX, DecodeStatus::EndsEarly},
    };
    for (const Case& c : cases) {
        FailingSource source(data, c.failFrom);
        DecodeRequest request;
        request.compressedSize = c.compressedSize;
        request.uncompressedSize = c.uncompressedSize;
        request.crc32 = testing::crc32Of(data.substr(0, c.uncompressedSize));
        request.method = zipformat::method::Stored;
        DecodeResult result = decodeEntry(
            source, request, [](std::span<const uint8_t>) { return true; }, [](uint64_t) { return true; });
        EXPECT_EQ(result.status, c.status) << c.rule;
    }
}

} // namespace
} // namespace quarvo
