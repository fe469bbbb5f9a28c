#include "engines/dzip/CentralDirectory.h"

#include "core/zip/Zip64Records.h"
#include "core/zip/ZipFormat.h"

#include <algorithm>

namespace quarvo {

namespace {

Zip64ExtraValues zip64ValuesOf(const CentralRecord& record)
{
    Zip64ExtraValues values;
    if (valueNeedsZip64(record.uncompressedSize))
        values.uncompressedSize = record.uncompressedSize;
    if (valueNeedsZip64(record.compressedSize))
        values.compressedSize = record.compressedSize;
    if (valueNeedsZip64(record.localHeaderOffset))
        values.localHeaderOffset = record.localHeaderOffset;
    return values;
}

uint32_t narrowed(uint64_t value)
{
    return valueNeedsZip64(value) ? zipformat::Max32 : static_cast<uint32_t>(value);
}

} // namespace

bool centralRecordTooLong(const CentralRecord& record)
{
    const Zip64ExtraValues values = record.keepFields ? Zip64ExtraValues{} : zip64ValuesOf(record);
    const size_t zip64Length = values.empty() ? 0 : makeZip64ExtraBlock(values).size();
    return record.name.size() > zipformat::Max16 || record.comment.size() > zipformat::Max16 ||
           record.extra.size() + zip64Length > zipformat::Max16;
}

void appendCentralRecord(std::vector<uint8_t>& out, const CentralRecord& record)
{
    if (record.keepFields) {
        appendCentralHeader(out, record.fields, record.name, record.extra, record.comment);
        return;
    }
    CentralHeaderFields fields = record.fields;
    fields.compressedSize = narrowed(record.compressedSize);
    fields.uncompressedSize = narrowed(record.uncompressedSize);
    fields.localHeaderOffset = narrowed(record.localHeaderOffset);
    const Zip64ExtraValues values = zip64ValuesOf(record);
    if (values.empty()) {
        appendCentralHeader(out, fields, record.name, record.extra, record.comment);
        return;
    }
    fields.versionNeeded = std::max(fields.versionNeeded, zipformat::version::Zip64);
    appendCentralHeader(out, fields, record.name, makeZip64ExtraBlock(values) + record.extra, record.comment);
}

void appendDirectoryEnd(std::vector<uint8_t>& out, uint64_t entries, uint64_t directorySize,
                        uint64_t directoryOffset, uint64_t endOffset, uint16_t versionMadeBy,
                        std::string_view comment)
{
    const bool zip64 =
        countNeedsZip64(entries) || valueNeedsZip64(directorySize) || valueNeedsZip64(directoryOffset);
    if (zip64)
        appendZip64EndRecords(out, Zip64EndValues{versionMadeBy, entries, directorySize, directoryOffset},
                              endOffset);
    EndRecordFields end;
    end.entriesOnThisDisk = end.entriesTotal =
        countNeedsZip64(entries) ? zipformat::Max16 : static_cast<uint16_t>(entries);
    end.directorySize = narrowed(directorySize);
    end.directoryOffset = narrowed(directoryOffset);
    appendEndRecord(out, end, comment);
}

} // namespace quarvo
