#pragma once

#include "core/zip/WinZipAesField.h"
#include "core/zip/ZipFormat.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quarvo {

struct OpenItem;

// One entry of an archive's directory, as the documents and the listings see it. ZIP documents fill
// it from the central directory; TAR documents produce the same record. Documents own their entries;
// listings only point at them.
struct ZipEntry {
    virtual ~ZipEntry() = default;

    // The viewed, run or checked-out copy of this entry; null when there is none. Not from the file.
    OpenItem* openItem = nullptr;

    // The central directory header fields, in file order. Sizes and the offset are at their full
    // width: a saturated field is replaced by its value from the ZIP64 extra field.
    uint16_t versionMadeBy = 0;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0; // bit 0: encrypted
    uint16_t method = 0;
    uint16_t modTime = 0; // MS-DOS packed: hour << 11 | minute << 5 | seconds / 2
    uint16_t modDate = 0; // MS-DOS packed: (year - 1980) << 9 | month << 5 | day
    uint32_t crc32 = 0;
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;
    uint16_t commentLength = 0;
    uint16_t diskNumberStart = 0;
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    uint64_t localHeaderOffset = 0;

    // The WinZip AES field of an entry encrypted with AES (method 99), when it is there and usable.
    std::optional<WinZipAesField> aes;

    // 0-based position in the directory as stored.
    int32_t index = 0;
    // The stored name, decoded to UTF-8, with "/" separators as stored.
    std::string name;
    std::string comment;
    // Selected in the listings; kept here so every view of a document shows the same selection.
    bool selected = false;

    bool isEncrypted() const { return flags & 1; }
    // The method that compressed the data: under AES encryption the one its field names.
    uint16_t compressionMethod() const { return aes ? aes->actualMethod : method; }
    // Stored by a Unix host as a symbolic link: the data is the link's target.
    bool isSymbolicLink() const
    {
        return versionMadeBy >> 8 == zipformat::host::Unix &&
               (externalAttributes >> zipformat::attribute::UnixModeShift &
                zipformat::attribute::UnixTypeMask) == zipformat::attribute::UnixSymbolicLink;
    }
};

} // namespace quarvo
