#pragma once

#include "core/zip/ZipRecords.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// What one written entry contributes to the new central directory. The 32-bit size and offset
// fields of `fields` are ignored: the full values below decide them.
struct CentralRecord {
    CentralHeaderFields fields;
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    uint64_t localHeaderOffset = 0;
    std::string name;
    std::string extra; // without a ZIP64 block, unless it is to be copied as it stands
    std::string comment;
    // Write fields and extra field exactly as they stand (a copied record whose ZIP64 block, if
    // any, still holds the right values); the full values above are then not consulted.
    bool keepFields = false;
};

// Appends the record's central header. A value that needs ZIP64 is saturated in its field and
// given in a ZIP64 extra field put before the record's own extra field, and the version needed
// rises to 4.5; a record that needs none is written exactly as its fields and extra field say.
void appendCentralRecord(std::vector<uint8_t>& out, const CentralRecord& record);

// Whether the record's central header would be longer than its 16-bit lengths allow.
bool centralRecordTooLong(const CentralRecord& record);

// The end of a directory of `entries` records, `directorySize` bytes at `directoryOffset`, with the
// archive comment: the plain end record, preceded by the ZIP64 end record and its locator when the
// count, size or offset needs them. Only the fields that need ZIP64 are saturated in the plain
// record. `endOffset` is where the appended bytes start in the file.
void appendDirectoryEnd(std::vector<uint8_t>& out, uint64_t entries, uint64_t directorySize,
                        uint64_t directoryOffset, uint64_t endOffset, uint16_t versionMadeBy,
                        std::string_view comment);

} // namespace quarvo
