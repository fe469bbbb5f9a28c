// The DOS program and Windows image handling of the converter, on our own stubs and on hostile ones.

#include "core/convert/BuiltInStubs.h"
#include "core/convert/DosStub.h"
#include "core/convert/ExecutableFormat.h"
#include "core/convert/WindowsImage.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quarvo {
namespace {

using Bytes = std::vector<uint8_t>;
namespace mz = exeformat::mz;
namespace ne = exeformat::ne;

uint32_t le16(const Bytes& bytes, size_t offset)
{
    return bytes.at(offset) | bytes.at(offset + 1) << 8;
}

uint32_t le32(const Bytes& bytes, size_t offset)
{
    return le16(bytes, offset) | le16(bytes, offset + 2) << 16;
}

void setLE16(Bytes& bytes, size_t offset, uint32_t value)
{
    bytes.at(offset) = static_cast<uint8_t>(value);
    bytes.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}

Bytes builtIn(std::span<const uint8_t> bytes)
{
    return Bytes(bytes.begin(), bytes.end());
}

TEST(DosStub, OurProgramIsASmallDosProgramThatPrintsWhatTheFileIs)
{
    const Bytes stub = builtIn(builtInDosStub());
    Result<DosStubLayout, ConvertError> layout = layOutDosStub(stub);
    ASSERT_TRUE(layout.ok()) << describeConvertError(layout.error());
    EXPECT_EQ(layout->programLength, stub.size());
    EXPECT_LE(stub.size(), 512u);
    EXPECT_EQ(layout->paddedLength % 16, 0u);
    EXPECT_GT(layout->paddedLength, layout->programLength);
    EXPECT_LE(layout->paddedLength - layout->programLength, 16u);
    EXPECT_GE(le16(stub, mz::RelocationTableOffset), mz::NewStyleRelocationOffset);
    // The code prints through DOS function 9 and ends through function 4Ch.
    const std::string text(stub.begin(), stub.end());
    EXPECT_NE(text.find("\xB4\x09\xCD\x21"), std::string::npos);
    EXPECT_NE(text.find("\xB8\x01\x4C\xCD\x21"), std::string::npos);
    EXPECT_NE(text.find("ZIP archive"), std::string::npos);
    EXPECT_EQ(text.back(), '$');
}

TEST(DosStub, LayoutClearsTheChecksumAndPointsTheNewHeaderPastThePadding)
{
    struct Case {
        uint32_t length;
        uint32_t expectedPadded;
    };
    // P is S with its low four bits cleared, plus 16: a multiple of 16 still gets 16 zero bytes.
    for (Case c : {Case{100, 112}, Case{96, 112}, Case{512, 528}, Case{513, 528}, Case{1024, 1040}}) {
        Bytes stub(c.length + 7, 0x90);
        setLE16(stub, 0, mz::Signature);
        setLE16(stub, mz::BytesInLastPage, c.length % 512);
        setLE16(stub, mz::PageCount, (c.length + 511) / 512);
        setLE16(stub, mz::Checksum, 0xBEEF);
        setLE16(stub, mz::RelocationTableOffset, 0x1C);
        Result<DosStubLayout, ConvertError> layout = layOutDosStub(stub);
        ASSERT_TRUE(layout.ok()) << c.length;
        EXPECT_EQ(layout->programLength, c.length);
        EXPECT_EQ(layout->paddedLength, c.expectedPadded) << c.length;
        ASSERT_EQ(layout->program.size(), c.length);
        EXPECT_EQ(le16(layout->program, mz::Checksum), 0u);
        EXPECT_EQ(le32(layout->program, mz::NewHeaderOffset), c.expectedPadded);
    }
}

TEST(DosStub, RefusesHeadersThatCannotBeAProgram)
{
    struct Case {
        const char* what;
        std::function<void(Bytes&)> spoil;
    };
    const std::vector<Case> cases = {
        {"no MZ", [](Bytes& b) { b[0] = 'Z'; }},
        {"no pages", [](Bytes& b) { setLE16(b, mz::PageCount, 0); }},
        {"a last page over 512 bytes", [](Bytes& b) { setLE16(b, mz::BytesInLastPage, 513); }},
        {"a length under its header", [](Bytes& b) { setLE16(b, mz::BytesInLastPage, 40); }},
        {"a length past the file", [](Bytes& b) { setLE16(b, mz::PageCount, 3); }},
        {"a last-page count of 0 meaning a whole page past the file",
         [](Bytes& b) { setLE16(b, mz::BytesInLastPage, 0); }},
        {"a Windows program",
         [](Bytes& b) {
             setLE16(b, mz::RelocationTableOffset, 0x40);
             b[mz::NewHeaderOffset] = 0x80;
             b[0x80] = 'N';
             b[0x81] = 'E';
         }},
        {"a header cut short", [](Bytes& b) { b.resize(63); }},
    };
    for (const Case& c : cases) {
        Bytes stub(300, 0);
        setLE16(stub, 0, mz::Signature);
        setLE16(stub, mz::BytesInLastPage, 300);
        setLE16(stub, mz::PageCount, 1);
        c.spoil(stub);
        Result<DosStubLayout, ConvertError> layout = layOutDosStub(stub);
        ASSERT_FALSE(layout.ok()) << c.what;
        EXPECT_EQ(layout.error().failure, ConvertFailure::BadDosStub) << c.what;
    }
}

// Our Windows image moved to 0x100 instead of where it was laid out.
TEST(WindowsImage, OurImageMovesEveryFilePositionByTheDifference)
{
    const Bytes record = builtIn(builtInWindowsImageRecord());
    const uint32_t length = le16(record, 0);
    const uint32_t original = le16(record, 4);
    ASSERT_EQ(record.size(), length + 8u);
    const Bytes before(record.begin() + 8, record.end());
    constexpr uint32_t Target = 0x100;
    const int32_t sectors = (static_cast<int32_t>(Target) - static_cast<int32_t>(original)) / 16;
    Result<Bytes, ConvertError> moved = relocateWindowsImage(record, Target);
    ASSERT_TRUE(moved.ok()) << describeConvertError(moved.error());
    const Bytes& after = *moved;
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(le16(after, 0), ne::Signature);
    EXPECT_EQ(le32(after, ne::NonResidentNamesOffset),
              le32(before, ne::NonResidentNamesOffset) + Target - original);
    EXPECT_EQ(int32_t(le16(after, ne::GangloadOffset)), int32_t(le16(before, ne::GangloadOffset)) + sectors);
    const size_t segment = le16(before, ne::SegmentTableOffset);
    EXPECT_EQ(int32_t(le16(after, segment)), int32_t(le16(before, segment)) + sectors);
    // The one resource entry follows the shift word and its type's 8-byte header.
    const size_t resource = le16(before, ne::ResourceTableOffset) + 2 + ne::ResourceTypeHeaderSize;
    EXPECT_EQ(int32_t(le16(after, resource)), int32_t(le16(before, resource)) + sectors);
    // The moved positions still point at what they pointed at: the code and the description.
    EXPECT_EQ(after.at(le16(after, segment) * 16 - Target), 0xB8);
    const std::string description(after.begin() + (le32(after, ne::NonResidentNamesOffset) - Target) + 1,
                                  after.begin() + (le32(after, ne::NonResidentNamesOffset) - Target) + 7);
    EXPECT_EQ(description, "Quarvo");
}

TEST(WindowsImage, RefusesRecordsAndTablesThatLie)
{
    struct Case {
        const char* what;
        std::function<void(Bytes&)> spoil;
    };
    const size_t image = 8;
    const std::vector<Case> cases = {
        {"a record cut short", [](Bytes& b) { b.resize(6); }},
        {"a length past the record", [](Bytes& b) { setLE16(b, 0, static_cast<uint32_t>(b.size())); }},
        {"a length under the header", [](Bytes& b) { setLE16(b, 0, 40); }},
        {"no NE", [image](Bytes& b) { b[image] = 'P'; }},
        {"an alignment other than 16 bytes",
         [image](Bytes& b) { setLE16(b, image + ne::AlignmentShift, 9); }},
        {"an original offset off a sector", [](Bytes& b) { setLE16(b, 4, 0x88); }},
        {"a segment table past the end",
         [image](Bytes& b) { setLE16(b, image + ne::SegmentTableOffset, static_cast<uint32_t>(b.size())); }},
        {"more segments than the image holds",
         [image](Bytes& b) { setLE16(b, image + ne::SegmentCount, 0x7FFF); }},
        {"a resource table past the end",
         [image](Bytes& b) { setLE16(b, image + ne::ResourceTableOffset, static_cast<uint32_t>(b.size())); }},
        {"a resource type with more entries than the image holds",
         [image](Bytes& b) { setLE16(b, image + le16(b, image + ne::ResourceTableOffset) + 4, 0x7FFF); }},
        {"a non-resident names table moved below the file",
         [image](Bytes& b) {
             b[image + ne::NonResidentNamesOffset] = 0;
             b[image + ne::NonResidentNamesOffset + 1] = 0;
         }},
    };
    for (const Case& c : cases) {
        Bytes record = builtIn(builtInWindowsImageRecord());
        c.spoil(record);
        // 0x40 lies below our image's original offset, so positions move towards the start.
        Result<Bytes, ConvertError> moved = relocateWindowsImage(record, 0x40);
        ASSERT_FALSE(moved.ok()) << c.what;
        EXPECT_EQ(moved.error().failure, ConvertFailure::BadWindowsImage) << c.what;
    }
}

} // namespace
} // namespace quarvo
