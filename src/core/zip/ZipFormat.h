#pragma once

#include <cstddef>
#include <cstdint>

// The ZIP format's numbers, each group with its section of PKWARE's .ZIP File Format Specification
// (APPNOTE.TXT, version 6.3.x). Every reader and writer of the program takes them from here.
namespace quarvo::zipformat {

// Record signatures, little-endian "PK" followed by two bytes.
constexpr uint32_t LocalHeaderSignature = 0x04034b50;      // 4.3.7
constexpr uint32_t DataDescriptorSignature = 0x08074b50;   // 4.3.9.3 (optional before the fields)
constexpr uint32_t CentralHeaderSignature = 0x02014b50;    // 4.3.12
constexpr uint32_t DigitalSignatureSignature = 0x05054b50; // 4.3.13
constexpr uint32_t Zip64EndRecordSignature = 0x06064b50;   // 4.3.14
constexpr uint32_t Zip64EndLocatorSignature = 0x07064b50;  // 4.3.15
constexpr uint32_t EndRecordSignature = 0x06054b50;        // 4.3.16
constexpr uint32_t SpannedArchiveMarker = 0x08074b50;      // 8.5.3, first 4 bytes of a split set

// Fixed sizes of the records, signature included.
constexpr size_t LocalHeaderSize = 30;          // 4.3.7
constexpr size_t DataDescriptorSize = 12;       // 4.3.9.1, without the optional signature
constexpr size_t Zip64DataDescriptorSize = 20;  // 4.3.9.2, 8-byte sizes, without the signature
constexpr size_t SignatureSize = 4;             // 4.3.9.3, every record's leading "PK" and two bytes
constexpr size_t CentralHeaderSize = 46;        // 4.3.12
constexpr size_t CentralHeaderFieldsSize = 42;  // the same, after the signature
constexpr size_t EndRecordSize = 22;            // 4.3.16
constexpr size_t EndRecordFieldsSize = 18;      // the same, after the signature
constexpr size_t Zip64EndLocatorSize = 20;      // 4.3.15
constexpr size_t Zip64EndRecordSize = 56;       // 4.3.14, without extensible data
constexpr size_t MaximumCommentLength = 0xFFFF; // 4.3.16, the comment length is 16 bits
constexpr size_t EncryptionHeaderSize = 12;     // 6.1.3, traditional encryption header

// Field offsets in a local file header (4.3.7), from its signature.
namespace local {
constexpr size_t VersionNeeded = 4;
constexpr size_t Flags = 6;
constexpr size_t Method = 8;
constexpr size_t ModTime = 10;
constexpr size_t ModDate = 12;
constexpr size_t Crc32 = 14;
constexpr size_t CompressedSize = 18;
constexpr size_t UncompressedSize = 22;
constexpr size_t NameLength = 26;
constexpr size_t ExtraLength = 28;
constexpr size_t Name = 30;
} // namespace local

// Field offsets in a central directory file header (4.3.12), from its signature.
namespace central {
constexpr size_t VersionMadeBy = 4;
constexpr size_t VersionNeeded = 6;
constexpr size_t Flags = 8;
constexpr size_t Method = 10;
constexpr size_t ModTime = 12;
constexpr size_t ModDate = 14;
constexpr size_t Crc32 = 16;
constexpr size_t CompressedSize = 20;
constexpr size_t UncompressedSize = 24;
constexpr size_t NameLength = 28;
constexpr size_t ExtraLength = 30;
constexpr size_t CommentLength = 32;
constexpr size_t DiskNumberStart = 34;
constexpr size_t InternalAttributes = 36;
constexpr size_t ExternalAttributes = 38;
constexpr size_t LocalHeaderOffset = 42;
constexpr size_t Name = 46;
} // namespace central

// Field offsets in the end of central directory record (4.3.16), from its signature.
namespace end {
constexpr size_t ThisDisk = 4;
constexpr size_t DirectoryStartDisk = 6;
constexpr size_t EntriesOnThisDisk = 8;
constexpr size_t EntriesTotal = 10;
constexpr size_t DirectorySize = 12;
constexpr size_t DirectoryOffset = 16;
constexpr size_t CommentLength = 20;
constexpr size_t Comment = 22;
} // namespace end

// General purpose bit flags (4.4.4).
namespace flag {
constexpr uint16_t Encrypted = 0x0001;          // bit 0
constexpr uint16_t CompressionOption1 = 0x0002; // bit 1, deflate: maximum / fast
constexpr uint16_t LzmaEndMarker = 0x0002;      // bit 1, LZMA: the stream ends with an end marker
constexpr uint16_t CompressionOption2 = 0x0004; // bit 2
constexpr uint16_t DataDescriptor = 0x0008;     // bit 3: CRC and sizes follow the data
constexpr uint16_t EnhancedDeflate = 0x0010;    // bit 4
constexpr uint16_t PatchedData = 0x0020;        // bit 5
constexpr uint16_t StrongEncryption = 0x0040;   // bit 6
constexpr uint16_t Utf8Names = 0x0800;          // bit 11: name and comment are UTF-8
constexpr uint16_t MaskedHeaders = 0x2000;      // bit 13: central directory encrypted
} // namespace flag

// Compression methods (4.4.5).
namespace method {
constexpr uint16_t Stored = 0;
constexpr uint16_t Shrunk = 1;
constexpr uint16_t Reduced1 = 2;
constexpr uint16_t Reduced2 = 3;
constexpr uint16_t Reduced3 = 4;
constexpr uint16_t Reduced4 = 5;
constexpr uint16_t Imploded = 6;
constexpr uint16_t Tokenized = 7;
constexpr uint16_t Deflated = 8;
constexpr uint16_t Deflate64 = 9;
constexpr uint16_t PkwareImplode = 10;
constexpr uint16_t Bzip2 = 12;
constexpr uint16_t Lzma = 14;
constexpr uint16_t Zstandard = 93;
constexpr uint16_t Xz = 95;
constexpr uint16_t Jpeg = 96;
constexpr uint16_t WavPack = 97;
constexpr uint16_t Ppmd = 98;
constexpr uint16_t Aes = 99; // WinZip AES, APPNOTE 4.4.5 and the AE-x extra field
} // namespace method

// "Version needed to extract" values (4.4.3), times 10.
namespace version {
constexpr uint16_t Default = 10;   // stored data
constexpr uint16_t Directory = 20; // folders, deflate, traditional encryption
constexpr uint16_t Deflate = 20;
constexpr uint16_t Zip64 = 45;
constexpr uint16_t Bzip2 = 46;
constexpr uint16_t Aes = 51; // WinZip AES encryption
constexpr uint16_t Lzma = 63;
} // namespace version

// Host systems in the upper byte of "version made by" (4.4.2.2).
namespace host {
constexpr uint8_t MsDos = 0;
constexpr uint8_t Amiga = 1;
constexpr uint8_t OpenVms = 2;
constexpr uint8_t Unix = 3;
constexpr uint8_t VmCms = 4;
constexpr uint8_t AtariSt = 5;
constexpr uint8_t Os2Hpfs = 6;
constexpr uint8_t Macintosh = 7;
constexpr uint8_t Ntfs = 10;
constexpr uint8_t Vfat = 14;
constexpr uint8_t MacOsX = 19;
} // namespace host

// External file attributes (4.4.15): the low byte holds MS-DOS attributes, the upper 16 bits the
// Unix mode when the host is Unix.
namespace attribute {
constexpr uint32_t DosReadOnly = 0x01;
constexpr uint32_t DosHidden = 0x02;
constexpr uint32_t DosSystem = 0x04;
constexpr uint32_t DosVolumeLabel = 0x08;
constexpr uint32_t DosDirectory = 0x10;
constexpr uint32_t DosArchive = 0x20;
constexpr unsigned UnixModeShift = 16;
constexpr uint32_t UnixTypeMask = 0170000;
constexpr uint32_t UnixSymbolicLink = 0120000;
constexpr uint32_t UnixRegular = 0100000;
constexpr uint32_t UnixDirectory = 0040000;
constexpr uint32_t UnixSetUserId = 04000;
constexpr uint32_t UnixSetGroupId = 02000;
constexpr uint32_t UnixSticky = 01000;
constexpr uint32_t UnixPermissions = 0777;
} // namespace attribute

// Header ids of extra-field blocks (4.5.2, 4.6) and their layout (4.5.1: id, data size, data).
namespace extra {
constexpr size_t BlockHeaderSize = 4;
constexpr uint16_t Zip64 = 0x0001;             // 4.5.3
constexpr uint16_t StrongEncryption = 0x0017;  // 4.5.12
constexpr uint16_t ExtendedTimestamp = 0x5455; // 4.6.x "UT", Info-ZIP
constexpr uint16_t InfoZipUnix = 0x7875;       // "ux", Info-ZIP new Unix
constexpr uint16_t UnicodePath = 0x7075;       // 4.6.9 "up", Info-ZIP Unicode path
constexpr uint16_t WinZipAes = 0x9901;         // AE-x
} // namespace extra

// LZMA data in a ZIP entry (5.8.8): a four-byte header, then the five property bytes of the LZMA
// stream (properties byte and 32-bit dictionary size), then the stream itself.
namespace lzma {
constexpr size_t HeaderSize = 4;       // LZMA SDK major and minor version, properties size (LE16)
constexpr size_t PropertiesSize = 5;   // the only properties size the format has
constexpr size_t DictionarySizeOffset = 1; // within the properties
} // namespace lzma

// WinZip AES encryption (method 99 with the 0x9901 extra field; WinZip's "AES Encryption
// Information" note, APPNOTE 7.2.3 points to it). The entry's data is the salt, a two-byte password
// verifier, the encrypted data, and ten bytes of authentication code.
namespace aes {
constexpr size_t ExtraDataSize = 7;         // vendor version, vendor id, strength, actual method
constexpr uint16_t VendorVersionAe1 = 1;    // AE-1: the CRC-32 is stored and checked
constexpr uint16_t VendorVersionAe2 = 2;    // AE-2: the CRC-32 is 0; the authentication code alone checks
constexpr uint16_t VendorId = 0x4541;       // "AE", little-endian
constexpr uint8_t Strength128 = 1;
constexpr uint8_t Strength192 = 2;
constexpr uint8_t Strength256 = 3;
constexpr size_t VerifierSize = 2;
constexpr size_t AuthenticationCodeSize = 10; // the first ten bytes of HMAC-SHA1
constexpr unsigned KeyDerivationIterations = 1000; // PBKDF2-HMAC-SHA1
constexpr size_t BlockSize = 16;
} // namespace aes

// MS-DOS date and time fields (4.4.6).
namespace dostime {
constexpr int BaseYear = 1980;
} // namespace dostime

// Limits of the 16- and 32-bit fields; a field at its limit may mean "see the ZIP64 record" (4.4.1.4).
constexpr uint16_t Max16 = 0xFFFF;
constexpr uint32_t Max32 = 0xFFFFFFFF;

} // namespace quarvo::zipformat
