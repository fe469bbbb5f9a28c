// quarvo-stubgen: writes the C++ source that holds our DOS program and Windows image as byte
// arrays. It runs at build time (see ../CMakeLists.txt), so the bytes are made from the commented
// instructions below, never checked in as an opaque blob, and need no assembler.
//
//   quarvo-stubgen OUTPUT.cpp

#include "core/convert/ExecutableFormat.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace quarvo::exeformat;
using Bytes = std::vector<uint8_t>;

// What both programs say when they are run.
constexpr const char* Message =
    "This file is a ZIP archive. Open it with a ZIP program to extract its files.";

void setLE16(Bytes& bytes, size_t offset, uint32_t value)
{
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void setLE32(Bytes& bytes, size_t offset, uint32_t value)
{
    setLE16(bytes, offset, value & 0xFFFF);
    setLE16(bytes, offset + 2, value >> 16);
}

void append(Bytes& bytes, std::initializer_list<uint8_t> more)
{
    bytes.insert(bytes.end(), more);
}

void appendText(Bytes& bytes, const std::string& text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
}

void padTo(Bytes& bytes, size_t alignment)
{
    while (bytes.size() % alignment != 0)
        bytes.push_back(0);
}

// The MS-DOS program: a 64-byte header (so that its relocation-table offset of 0x40 marks it as a
// new-style executable whose 0x3C field the converter points at what follows it), then code that
// runs at CS:IP = 0:0 of the load image:
//
//   0E         push cs          ; DS = CS: the message is in the code segment
//   1F         pop ds
//   BA xx xx   mov dx, MESSAGE  ; offset of the message in the load image
//   B4 09      mov ah, 09h      ; DOS: print the "$"-terminated string at DS:DX
//   CD 21      int 21h
//   B8 01 4C   mov ax, 4C01h    ; DOS: end the program with status 1
//   CD 21      int 21h
//   MESSAGE    db "...", 0Dh, 0Ah, "$"
Bytes dosProgram()
{
    Bytes code;
    append(code, {0x0E, 0x1F});
    const size_t messageOperand = code.size() + 1;
    append(code, {0xBA, 0x00, 0x00});
    append(code, {0xB4, 0x09, 0xCD, 0x21});
    append(code, {0xB8, 0x01, 0x4C, 0xCD, 0x21});
    setLE16(code, messageOperand, static_cast<uint32_t>(code.size()));
    appendText(code, std::string(Message) + "\r\n$");

    Bytes program(mz::HeaderSize, 0);
    const uint32_t length = static_cast<uint32_t>(mz::HeaderSize + code.size());
    const uint32_t loadImageParagraphs = static_cast<uint32_t>((code.size() + 15) / 16);
    constexpr uint32_t StackParagraphs = 0x10; // 256 bytes of stack after the load image
    setLE16(program, 0, mz::Signature);
    setLE16(program, mz::BytesInLastPage, length % mz::PageSize);
    setLE16(program, mz::PageCount, (length + mz::PageSize - 1) / mz::PageSize);
    setLE16(program, mz::RelocationCount, 0);
    setLE16(program, mz::HeaderParagraphs, mz::HeaderSize / mz::ParagraphSize);
    setLE16(program, mz::MinimumAllocation, StackParagraphs);
    setLE16(program, mz::MaximumAllocation, StackParagraphs);
    setLE16(program, mz::InitialSs, loadImageParagraphs); // the stack segment follows the code
    setLE16(program, mz::InitialSp, StackParagraphs * 16);
    setLE16(program, mz::InitialIp, 0);
    setLE16(program, mz::InitialCs, 0);
    setLE16(program, mz::RelocationTableOffset, mz::NewStyleRelocationOffset);
    // 0x3C stays 0 here: the converter sets it to where the archive or the Windows image begins.
    program.insert(program.end(), code.begin(), code.end());
    return program;
}

// Where the image's "NE" header stood in the file it is laid out for. Any multiple of 16 works: the
// converter moves the image by the difference to its real place.
constexpr uint32_t OriginalOffset = 0x80;

// A minimal Windows 3.x image. Its tables, in the order they follow the 64-byte header:
//   segment table       one code segment with data in the file
//   resource table      alignment shift 4, one RT_RCDATA resource (id 1) holding the message
//   resident names      the module name QUARVOSX, ordinal 0
//   module references   none
//   imported names      the empty name every table starts with
//   entry table         no entry points (one empty bundle)
//   non-resident names  the description, ordinal 0
// then, aligned to 16-byte sectors, the code segment (mov ax, 4C01h; int 21h: a Windows program may
// end itself through DOS) and the resource data.
Bytes windowsImage()
{
    Bytes image(ne::HeaderSize, 0);
    const size_t segmentTable = image.size();
    image.resize(image.size() + ne::SegmentEntrySize, 0);

    const size_t resourceTable = image.size();
    append(image, {ne::SectorShift, 0});
    append(image, {0x0A, 0x80, 1, 0, 0, 0, 0, 0}); // type RT_RCDATA (0x8000 | 10), one resource
    const size_t resourceEntry = image.size();
    image.resize(image.size() + ne::ResourceEntrySize, 0);
    append(image, {0, 0}); // end of the types
    append(image, {0});    // no resource names

    const size_t residentNames = image.size();
    image.push_back(8);
    appendText(image, "QUARVOSX");
    append(image, {0, 0, 0}); // ordinal 0, end of the table

    const size_t moduleReferences = image.size();
    const size_t importedNames = image.size();
    image.push_back(0);
    const size_t entryTable = image.size();
    append(image, {0, 0});

    const size_t nonResidentNames = image.size();
    const std::string description = "Quarvo ZIP archive: open it with a ZIP program";
    image.push_back(static_cast<uint8_t>(description.size()));
    appendText(image, description);
    append(image, {0, 0, 0});
    const size_t nonResidentSize = image.size() - nonResidentNames;

    padTo(image, ne::SectorSize);
    const size_t codeSegment = image.size();
    append(image, {0xB8, 0x01, 0x4C, 0xCD, 0x21});
    const size_t codeLength = image.size() - codeSegment;
    padTo(image, ne::SectorSize);
    const size_t resourceData = image.size();
    appendText(image, Message);
    padTo(image, ne::SectorSize);
    const size_t resourceLength = image.size() - resourceData;

    auto sectorOf = [](size_t imageOffset) {
        return static_cast<uint32_t>((OriginalOffset + imageOffset) >> 4);
    };
    setLE16(image, segmentTable, sectorOf(codeSegment));
    setLE16(image, segmentTable + 2, static_cast<uint32_t>(codeLength));
    setLE16(image, segmentTable + 4, 0x0D50); // code, moveable, preload, discardable
    setLE16(image, segmentTable + 6, static_cast<uint32_t>(codeLength));
    setLE16(image, resourceEntry, sectorOf(resourceData));
    setLE16(image, resourceEntry + 2, static_cast<uint32_t>(resourceLength >> ne::SectorShift));
    setLE16(image, resourceEntry + 4, 0x0030); // moveable, pure
    setLE16(image, resourceEntry + 6, 0x8001); // integer id 1

    setLE16(image, 0, ne::Signature);
    image[ne::LinkerVersion] = 5;
    image[ne::LinkerVersion + 1] = 10;
    setLE16(image, ne::EntryTableOffset, static_cast<uint32_t>(entryTable));
    setLE16(image, ne::EntryTableLength, 2);
    setLE16(image, ne::ProgramFlags, 0);
    setLE16(image, ne::AutoDataSegment, 0);
    setLE32(image, ne::InitialCsIp, 1u << 16); // segment 1, offset 0
    setLE16(image, ne::SegmentCount, 1);
    setLE16(image, ne::ModuleReferenceCount, 0);
    setLE16(image, ne::NonResidentNamesSize, static_cast<uint32_t>(nonResidentSize));
    setLE16(image, ne::SegmentTableOffset, static_cast<uint32_t>(segmentTable));
    setLE16(image, ne::ResourceTableOffset, static_cast<uint32_t>(resourceTable));
    setLE16(image, ne::ResidentNamesOffset, static_cast<uint32_t>(residentNames));
    setLE16(image, ne::ModuleReferenceOffset, static_cast<uint32_t>(moduleReferences));
    setLE16(image, ne::ImportedNamesOffset, static_cast<uint32_t>(importedNames));
    setLE32(image, ne::NonResidentNamesOffset, static_cast<uint32_t>(OriginalOffset + nonResidentNames));
    setLE16(image, ne::AlignmentShift, ne::SectorShift);
    setLE16(image, ne::ResourceSegmentCount, 1);
    image[ne::TargetSystem] = ne::TargetWindows;
    image[ne::OtherFlags] = ne::GangloadArea; // the code segment is loaded in one read
    setLE16(image, ne::GangloadOffset, sectorOf(codeSegment));
    setLE16(image, ne::GangloadLength, 1);
    setLE16(image, ne::ExpectedWindowsVersion, 0x030A); // Windows 3.10
    return image;
}

Bytes windowsImageRecord()
{
    Bytes image = windowsImage();
    Bytes record(imagerecord::Size, 0);
    setLE16(record, imagerecord::ImageLength, static_cast<uint32_t>(image.size()));
    setLE16(record, imagerecord::OriginalOffset, OriginalOffset);
    record.insert(record.end(), image.begin(), image.end());
    return record;
}

void writeArray(std::FILE* out, const char* function, const Bytes& bytes)
{
    std::fprintf(out, "std::span<const uint8_t> %s()\n{\n    static constexpr uint8_t bytes[%zu] = {",
                 function, bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
        std::fprintf(out, "%s0x%02X,", i % 16 == 0 ? "\n        " : " ", bytes[i]);
    std::fprintf(out, "\n    };\n    return bytes;\n}\n\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quarvo-stubgen OUTPUT.cpp\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out,
                 "// Made by quarvo-stubgen from src/core/convert/stubs/StubGenerator.cpp; do not edit.\n\n"
                 "#include \"core/convert/BuiltInStubs.h\"\n\nnamespace quarvo {\n\n");
    writeArray(out, "builtInDosStub", dosProgram());
    writeArray(out, "builtInWindowsImageRecord", windowsImageRecord());
    std::fprintf(out, "} // namespace quarvo\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
