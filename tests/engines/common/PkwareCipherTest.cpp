#include "engines/common/PkwareCipher.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace quarvo;
using quarvo::testing::TemporaryDirectory;

namespace {

std::vector<uint8_t> bytesOf(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

uint32_t readLE(const std::string& bytes, size_t offset, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes.at(offset + i));
    return value;
}

void appendLE(std::string& out, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

uint32_t crcOf(const std::string& text)
{
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
}

// A one-entry archive holding `content` stored and encrypted by our cipher: local header, encryption
// header and data, one central header, end of central directory (APPNOTE 4.3.7, 4.3.12, 4.3.16).
std::string encryptedStoredArchive(const std::string& name, const std::string& content,
                                   const std::string& password)
{
    const uint32_t crc = crcOf(content);
    const uint16_t dosTime = 0x6000, dosDate = 0x5821;
    PkwareCipher cipher(password);
    auto header = cipher.makeHeader(PkwareCipher::checkByteFor(crc, dosTime, false));
    std::vector<uint8_t> data = bytesOf(content);
    cipher.encrypt(data);
    const uint32_t compressedSize = static_cast<uint32_t>(PkwareCipher::HeaderSize + data.size());

    std::string out;
    auto commonFields = [&](std::string& s) {
        appendLE(s, 20, 2); // version needed
        appendLE(s, 1, 2);  // flags: encrypted
        appendLE(s, 0, 2);  // method: stored
        appendLE(s, dosTime, 2);
        appendLE(s, dosDate, 2);
        appendLE(s, crc, 4);
        appendLE(s, compressedSize, 4);
        appendLE(s, static_cast<uint32_t>(content.size()), 4);
        appendLE(s, static_cast<uint32_t>(name.size()), 2);
        appendLE(s, 0, 2); // extra length
    };
    appendLE(out, 0x04034b50, 4);
    commonFields(out);
    out += name;
    out.append(header.begin(), header.end());
    out.append(data.begin(), data.end());

    const uint32_t directoryOffset = static_cast<uint32_t>(out.size());
    appendLE(out, 0x02014b50, 4);
    appendLE(out, 20, 2); // version made by
    commonFields(out);
    appendLE(out, 0, 2); // comment length
    appendLE(out, 0, 2); // disk number
    appendLE(out, 0, 2); // internal attributes
    appendLE(out, 0, 4); // external attributes
    appendLE(out, 0, 4); // local header offset
    out += name;
    const uint32_t directorySize = static_cast<uint32_t>(out.size()) - directoryOffset;

    appendLE(out, 0x06054b50, 4);
    appendLE(out, 0, 2);
    appendLE(out, 0, 2);
    appendLE(out, 1, 2);
    appendLE(out, 1, 2);
    appendLE(out, directorySize, 4);
    appendLE(out, directoryOffset, 4);
    appendLE(out, 0, 2);
    return out;
}

std::string commandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    pclose(pipe);
    return output;
}

bool toolAvailable(const char* tool)
{
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

const std::string sampleText =
    "The quick brown fox jumps over the lazy dog.\nPack my box with five dozen liquor jugs.\n";

} // namespace

TEST(PkwareCipher, DecryptsWhatItEncryptedWithTheSamePassword)
{
    std::vector<uint8_t> data = bytesOf(sampleText);
    PkwareCipher writer("secret");
    auto header = writer.makeHeader(0xA7);
    writer.encrypt(data);
    EXPECT_NE(data, bytesOf(sampleText));

    PkwareCipher reader("secret");
    ASSERT_TRUE(reader.acceptHeader(header, 0xA7));
    reader.decrypt(data);
    EXPECT_EQ(data, bytesOf(sampleText));
}

TEST(PkwareCipher, DataDecryptedWithAnotherPasswordIsGarbage)
{
    std::vector<uint8_t> data = bytesOf(sampleText);
    PkwareCipher writer("secret");
    writer.makeHeader(0x11);
    writer.encrypt(data);

    PkwareCipher reader("Secret");
    std::array<uint8_t, PkwareCipher::HeaderSize> ignored{};
    reader.acceptHeader(ignored, 0x11);
    reader.decrypt(data);
    EXPECT_NE(data, bytesOf(sampleText));
}

TEST(PkwareCipher, CheckByteComesFromCrcOrFromTimeWithDataDescriptor)
{
    EXPECT_EQ(PkwareCipher::checkByteFor(0xAB123456, 0x7C21, false), 0xAB);
    EXPECT_EQ(PkwareCipher::checkByteFor(0xAB123456, 0x7C21, true), 0x7C);
}

TEST(PkwareCipher, DecryptsEntryEncryptedByInfoZipZip)
{
    if (!toolAvailable("zip"))
        GTEST_SKIP() << "zip is not installed";
    TemporaryDirectory directory;
    quarvo::testing::writeFile(directory.path() / "plain.txt", sampleText);
    const std::string archive = directory.file("made.zip");
    ASSERT_EQ(
        std::system(("cd '" + directory.path().string() + "' && zip -q -0 -P 'pass word' made.zip plain.txt")
                        .c_str()),
        0);
    const std::string bytes = quarvo::testing::readFile(archive);
    ASSERT_GE(bytes.size(), 30u);
    ASSERT_EQ(readLE(bytes, 0, 4), 0x04034b50u);
    const uint16_t flags = static_cast<uint16_t>(readLE(bytes, 6, 2));
    ASSERT_TRUE(flags & 1);
    const uint16_t dosTime = static_cast<uint16_t>(readLE(bytes, 10, 2));
    const uint32_t dataStart = 30 + readLE(bytes, 26, 2) + readLE(bytes, 28, 2);
    const uint32_t encryptedSize = static_cast<uint32_t>(PkwareCipher::HeaderSize + sampleText.size());
    ASSERT_LE(dataStart + encryptedSize, bytes.size());

    std::array<uint8_t, PkwareCipher::HeaderSize> header{};
    std::copy_n(bytes.begin() + dataStart, header.size(), header.begin());
    std::vector<uint8_t> data(bytes.begin() + dataStart + PkwareCipher::HeaderSize,
                              bytes.begin() + dataStart + encryptedSize);

    PkwareCipher cipher("pass word");
    EXPECT_TRUE(
        cipher.acceptHeader(header, PkwareCipher::checkByteFor(crcOf(sampleText), dosTime, flags & 8)));
    cipher.decrypt(data);
    EXPECT_EQ(data, bytesOf(sampleText));
}

TEST(PkwareCipher, EntryWeEncryptIsReadByInfoZipUnzip)
{
    if (!toolAvailable("unzip"))
        GTEST_SKIP() << "unzip is not installed";
    TemporaryDirectory directory;
    const std::string archive = directory.file("ours.zip");
    quarvo::testing::writeFile(archive, encryptedStoredArchive("note.txt", sampleText, "p4ss"));

    EXPECT_EQ(commandOutput("unzip -p -P p4ss '" + archive + "' note.txt 2>/dev/null"), sampleText);
    EXPECT_NE(std::system(("unzip -t -q -P wrong '" + archive + "' >/dev/null 2>&1").c_str()), 0);
}
