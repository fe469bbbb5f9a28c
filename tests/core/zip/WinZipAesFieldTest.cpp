#include "core/zip/WinZipAesField.h"
#include "core/zip/ZipEntry.h"
#include "core/zip/ZipMethodNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarvo {
namespace {

// An extra field holding one 0x9901 block with the given data.
std::vector<uint8_t> aesBlock(const std::vector<uint8_t>& data, uint16_t declaredSize)
{
    std::vector<uint8_t> field = {0x01, 0x99, static_cast<uint8_t>(declaredSize), 0};
    field.insert(field.end(), data.begin(), data.end());
    return field;
}

// The field's seven bytes: vendor version, "AE", strength, actual method (WinZip's AES note).
TEST(WinZipAesField, ParsesTheFieldAndRefusesWhatNoWriterMakes)
{
    struct Case {
        const char* rule;
        std::vector<uint8_t> extra;
        bool ok;
        AesFieldError error;
        unsigned keyBits;
        uint16_t method;
        bool checksCrc;
    };
    const std::vector<uint8_t> zip64First = {0x01, 0x00, 0x08, 0x00, 1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<uint8_t> afterZip64 = zip64First;
    for (uint8_t byte : aesBlock({2, 0, 'A', 'E', 1, 12, 0}, 7))
        afterZip64.push_back(byte);
    const Case cases[] = {
        {"AE-2, 256 bits, deflate", aesBlock({2, 0, 'A', 'E', 3, 8, 0}, 7), true, {}, 256, 8, false},
        {"AE-1, 192 bits, stored", aesBlock({1, 0, 'A', 'E', 2, 0, 0}, 7), true, {}, 192, 0, true},
        {"after another block", afterZip64, true, {}, 128, 12, false},
        {"no block at all", zip64First, false, AesFieldError::Missing},
        {"a block of six bytes", aesBlock({2, 0, 'A', 'E', 3, 8}, 6), false, AesFieldError::Damaged},
        {"another vendor", aesBlock({2, 0, 'X', 'Y', 3, 8, 0}, 7), false, AesFieldError::UnknownVendor},
        {"vendor version 3", aesBlock({3, 0, 'A', 'E', 3, 8, 0}, 7), false, AesFieldError::UnknownVendor},
        {"strength 4", aesBlock({2, 0, 'A', 'E', 4, 8, 0}, 7), false, AesFieldError::UnknownStrength},
        {"strength 0", aesBlock({2, 0, 'A', 'E', 0, 8, 0}, 7), false, AesFieldError::UnknownStrength},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        Result<WinZipAesField, AesFieldError> field = parseWinZipAesField(c.extra);
        ASSERT_EQ(field.ok(), c.ok);
        if (!c.ok) {
            EXPECT_EQ(field.error(), c.error);
            continue;
        }
        EXPECT_EQ(field->keyBits(), c.keyBits);
        EXPECT_EQ(field->saltSize(), c.keyBits / 16);
        EXPECT_EQ(field->actualMethod, c.method);
        EXPECT_EQ(field->checksCrc(), c.checksCrc);
    }
}

TEST(WinZipAesField, WrittenFieldsReadBackAndTheDataLayoutNeedsRoomForItsParts)
{
    const WinZipAesField written{.vendorVersion = 2, .strength = 3, .actualMethod = 8};
    std::vector<uint8_t> extra;
    appendWinZipAesField(extra, written);
    ASSERT_EQ(extra.size(), 11u);
    Result<WinZipAesField, AesFieldError> read = parseWinZipAesField(extra);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->actualMethod, 8);
    EXPECT_EQ(read->keyBits(), 256u);

    // 16 bytes of salt, 2 of verifier and 10 of authentication code frame the encrypted data.
    EXPECT_FALSE(aesDataLayout(written, 27));
    std::optional<AesDataLayout> empty = aesDataLayout(written, 28);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->encryptedSize, 0u);
    std::optional<AesDataLayout> layout = aesDataLayout(written, 128);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->verifierOffset, 16u);
    EXPECT_EQ(layout->encryptedOffset, 18u);
    EXPECT_EQ(layout->encryptedSize, 100u);
    EXPECT_EQ(layout->authenticationCodeOffset, 118u);
}

TEST(ZipMethodNames, EntriesNameTheirMethodAndEncryption)
{
    struct Case {
        uint16_t method;
        uint16_t flags;
        std::optional<WinZipAesField> aes;
        std::string text;
    };
    const Case cases[] = {
        {0, 0, std::nullopt, "Stored"},
        {9, 0, std::nullopt, "Defl64"},
        {14, 1, std::nullopt, "LZMA, encrypted"},
        {93, 0, std::nullopt, "Zstd"},
        {99, 1, WinZipAesField{.vendorVersion = 1, .strength = 1, .actualMethod = 12}, "BZip2, AES-128"},
        {99, 1, std::nullopt, "AES, encrypted"}, // an unusable field leaves the method as stored
        {42, 0, std::nullopt, "method 42"},
    };
    for (const Case& c : cases) {
        ZipEntry entry;
        entry.method = c.method;
        entry.flags = c.flags;
        entry.aes = c.aes;
        EXPECT_EQ(entryMethodText(entry), c.text);
    }
}

} // namespace
} // namespace quarvo
