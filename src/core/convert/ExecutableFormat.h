#pragma once

#include <cstddef>
#include <cstdint>

// The two program headers a converted archive can stand behind: the MS-DOS "MZ" header and the
// 16-bit Windows "NE" header. Offsets follow Microsoft's "MS-DOS Encyclopedia" (the EXE header) and
// "Executable-File Header Format" (the NE layout of Windows 3.x). The converter and the program that
// builds our own stubs take them from here.
namespace quarvo::exeformat {

// MS-DOS executable header, from the start of the file.
namespace mz {
constexpr uint16_t Signature = 0x5A4D;   // "MZ"
constexpr size_t HeaderSize = 64;        // the classic header with the new-header offset at its end
constexpr size_t BytesInLastPage = 0x02; // 0 means the whole last page, 512 bytes
constexpr size_t PageCount = 0x04;       // 512-byte pages, the last one partly used
constexpr size_t RelocationCount = 0x06;
constexpr size_t HeaderParagraphs = 0x08;
constexpr size_t MinimumAllocation = 0x0A; // paragraphs beyond the load image
constexpr size_t MaximumAllocation = 0x0C;
constexpr size_t InitialSs = 0x0E;
constexpr size_t InitialSp = 0x10;
constexpr size_t Checksum = 0x12;
constexpr size_t InitialIp = 0x14;
constexpr size_t InitialCs = 0x16;
constexpr size_t RelocationTableOffset = 0x18; // 0x40 or more: the file may have a new header
constexpr size_t NewHeaderOffset = 0x3C;       // u32, where the "NE" (or "PE") header starts
constexpr size_t PageSize = 512;
constexpr size_t ParagraphSize = 16;
constexpr uint16_t NewStyleRelocationOffset = 0x40;
} // namespace mz

// Windows 3.x "NE" header, from its own start. Table offsets are relative to it, except the
// non-resident names table, whose offset counts from the start of the file; segment and resource
// positions are in sectors of (1 << alignment shift) bytes from the start of the file.
namespace ne {
constexpr uint16_t Signature = 0x454E; // "NE"
constexpr size_t HeaderSize = 64;
constexpr size_t LinkerVersion = 0x02;
constexpr size_t EntryTableOffset = 0x04;
constexpr size_t EntryTableLength = 0x06;
constexpr size_t ProgramFlags = 0x0C;
constexpr size_t AutoDataSegment = 0x0E;
constexpr size_t InitialCsIp = 0x14;
constexpr size_t SegmentCount = 0x1C;
constexpr size_t ModuleReferenceCount = 0x1E;
constexpr size_t NonResidentNamesSize = 0x20;
constexpr size_t SegmentTableOffset = 0x22;
constexpr size_t ResourceTableOffset = 0x24;
constexpr size_t ResidentNamesOffset = 0x26;
constexpr size_t ModuleReferenceOffset = 0x28;
constexpr size_t ImportedNamesOffset = 0x2A;
constexpr size_t NonResidentNamesOffset = 0x2C; // u32, from the start of the file
constexpr size_t AlignmentShift = 0x32;
constexpr size_t ResourceSegmentCount = 0x34;
constexpr size_t TargetSystem = 0x36;
constexpr size_t OtherFlags = 0x37;
constexpr size_t GangloadOffset = 0x38; // sectors, valid when OtherFlags has GangloadArea
constexpr size_t GangloadLength = 0x3A;
constexpr size_t ExpectedWindowsVersion = 0x3E;
constexpr uint8_t GangloadArea = 0x08;
constexpr uint8_t TargetWindows = 2;
constexpr uint16_t SectorShift = 4; // the only alignment the converter moves: 16-byte sectors
constexpr size_t SectorSize = size_t{1} << SectorShift;

constexpr size_t SegmentEntrySize = 8;       // sector, length, flags, minimum allocation
constexpr size_t ResourceTypeHeaderSize = 8; // type id (0 ends the table), count, reserved
constexpr size_t ResourceEntrySize = 12;     // sector, length, flags, id, reserved
} // namespace ne

// The record in front of the Windows image a converter puts behind the DOS stub: u16 image length L,
// u16 0, u16 offset O that the image's "NE" header had in the file it was taken from, u16 0.
namespace imagerecord {
constexpr size_t Size = 8;
constexpr size_t ImageLength = 0;
constexpr size_t OriginalOffset = 4;
} // namespace imagerecord

} // namespace quarvo::exeformat
