#include "engines/dzip/ArchiveRepair.h"

#include "core/zip/EndRecordSearch.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"
#include "core/zip/ZipRecords.h"
#include "engines/api/EngineResult.h"
#include "engines/dzip/ArchiveTarget.h"
#include "engines/dzip/CentralDirectory.h"
#include "engines/dzip/EntryEncoder.h"
#include "engines/dzip/TemporaryArchive.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

namespace quarvo {

namespace {

// The archive mapped read-only; damaged archives are read in any order, and mapping keeps that
// cheap without holding the file in memory.
class MappedFile {
  public:
    explicit MappedFile(const std::string& path)
    {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        struct stat status {};
        if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
            m_size = static_cast<size_t>(status.st_size);
            m_mode = status.st_mode & 07777;
            m_owner = status.st_uid;
            m_group = status.st_gid;
            if (m_size > 0) {
                void* address = mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0);
                m_data = address == MAP_FAILED ? nullptr : static_cast<const uint8_t*>(address);
            }
            m_opened = m_size == 0 || m_data;
        }
        close(fd);
    }
    ~MappedFile()
    {
        if (m_data)
            munmap(const_cast<uint8_t*>(m_data), m_size);
    }
    bool opened() const { return m_opened; }
    std::span<const uint8_t> bytes() const { return {m_data, m_size}; }
    uint32_t mode() const { return m_mode; }
    uint32_t owner() const { return m_owner; }
    uint32_t group() const { return m_group; }

  private:
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    uint32_t m_mode = 0644;
    uint32_t m_owner = 0;
    uint32_t m_group = 0;
    bool m_opened = false;
};

uint32_t readLE32(std::span<const uint8_t> bytes, size_t offset)
{
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

uint64_t readLE64(std::span<const uint8_t> bytes, size_t offset)
{
    return readLE32(bytes, offset) | static_cast<uint64_t>(readLE32(bytes, offset + 4)) << 32;
}

struct Salvaged {
    size_t offset = 0;
    size_t recordSize = 0;    // header, data, descriptor
    LocalHeaderFields fields; // method, flags, time and CRC as finally known
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    std::string name;
    std::string extra; // of the local header
};

// Whether the data inflates (or is stored) to exactly size bytes with the CRC.
bool dataChecksOut(std::span<const uint8_t> data, uint16_t method, uint32_t crc, uint64_t size)
{
    if (method == zipformat::method::Stored)
        return data.size() == size && updateCrc32(0, data.data(), data.size()) == crc;
    if (method != zipformat::method::Deflated)
        return false;
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    std::vector<uint8_t> output(1 << 16);
    // zlib counts its input in 32 bits: data of 4 GiB or more is handed over a piece at a time.
    constexpr size_t InputPiece = size_t{1} << 30;
    std::span<const uint8_t> unread = data;
    uint64_t produced = 0;
    uint32_t actual = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.avail_in == 0 && !unread.empty()) {
            const size_t piece = std::min(unread.size(), InputPiece);
            stream.next_in = const_cast<uint8_t*>(unread.data());
            stream.avail_in = static_cast<uInt>(piece);
            unread = unread.subspan(piece);
        }
        stream.next_out = output.data();
        stream.avail_out = static_cast<uInt>(output.size());
        status = inflate(&stream, Z_NO_FLUSH);
        const size_t got = output.size() - stream.avail_out;
        actual = updateCrc32(actual, output.data(), got);
        produced += got;
        if (status == Z_BUF_ERROR && got > 0)
            status = Z_OK;
    }
    const bool whole = status == Z_STREAM_END && stream.avail_in == 0 && unread.empty();
    inflateEnd(&stream);
    return whole && produced == size && actual == crc;
}

// Reads the entry whose local header is at offset and checks it. For entries with a data
// descriptor the data's end is found by looking for a descriptor whose compressed size equals
// its distance from the data's start.
std::optional<Salvaged> salvageAt(std::span<const uint8_t> file, size_t offset)
{
    auto header = parseLocalHeader(file.subspan(offset));
    if (!header.ok() || header->fields.nameLength == 0)
        return std::nullopt;
    Salvaged entry;
    entry.offset = offset;
    entry.fields = header->fields;
    entry.name.assign(header->name.begin(), header->name.end());
    entry.extra.assign(header->extra.begin(), header->extra.end());
    // Entries of 4 GiB or more, and zip -fz, saturate the local sizes and put them in a ZIP64 extra
    // field.
    WideHeaderValues sizes;
    if (widenLocalFields(entry.fields, header->extra, file.size(), sizes) != Zip64Fields::Resolved)
        return std::nullopt;
    entry.compressedSize = sizes.compressedSize;
    entry.uncompressedSize = sizes.uncompressedSize;
    const size_t dataStart = offset + header->recordSize;
    const bool encrypted = entry.fields.flags & zipformat::flag::Encrypted;
    const size_t encryptionOverhead = encrypted ? zipformat::EncryptionHeaderSize : 0;

    auto accept = [&](size_t dataSize, size_t descriptorSize) -> std::optional<Salvaged> {
        const std::span<const uint8_t> data = file.subspan(dataStart, dataSize);
        if (encrypted) {
            // Without the password only the extent can be checked.
            if (dataSize < encryptionOverhead)
                return std::nullopt;
        } else if (!dataChecksOut(data, entry.fields.method, entry.fields.crc32,
                                  entry.uncompressedSize)) {
            return std::nullopt;
        }
        entry.compressedSize = dataSize;
        entry.recordSize = header->recordSize + dataSize + descriptorSize;
        return entry;
    };

    if (!(entry.fields.flags & zipformat::flag::DataDescriptor)) {
        if (entry.compressedSize > file.size() - dataStart)
            return std::nullopt;
        return accept(static_cast<size_t>(entry.compressedSize), 0);
    }
    // The descriptor holds 4-byte sizes, or 8-byte ones when zip wrote from a pipe.
    constexpr size_t narrow = zipformat::SignatureSize + zipformat::DataDescriptorSize;
    constexpr size_t wide = zipformat::SignatureSize + zipformat::Zip64DataDescriptorSize;
    for (size_t position = dataStart; position + narrow <= file.size(); ++position) {
        if (readLE32(file, position) != zipformat::DataDescriptorSignature)
            continue;
        const uint64_t dataSize = position - dataStart;
        const bool narrowFits = readLE32(file, position + 8) == dataSize;
        const bool wideFits = position + wide <= file.size() && readLE64(file, position + 8) == dataSize;
        if (!narrowFits && !wideFits)
            continue;
        entry.fields.crc32 = readLE32(file, position + 4);
        // An empty entry reads the same in both forms; the one that the next record follows wins.
        const size_t after = position + wide;
        const bool wideFirst =
            wideFits && (after == file.size() || (after + 2 <= file.size() && file[after] == 'P' &&
                                                  file[after + 1] == 'K'));
        for (const bool isWide : {wideFirst, !wideFirst}) {
            if (isWide ? !wideFits : !narrowFits)
                continue;
            entry.uncompressedSize = isWide ? readLE64(file, position + 16) : readLE32(file, position + 12);
            if (auto accepted = accept(position - dataStart, isWide ? wide : narrow))
                return accepted;
        }
    }
    return std::nullopt;
}

std::vector<Salvaged> findEntries(std::span<const uint8_t> file, bool thorough, EngineReporter& reporter,
                                  bool& cancelled)
{
    std::vector<Salvaged> found;
    size_t position = 0;
    size_t lastReport = 0;
    while (position + zipformat::LocalHeaderSize <= file.size()) {
        if (position - lastReport >= (1u << 20)) {
            lastReport = position;
            if (!reporter.status("Scanning for entries",
                                 static_cast<uint32_t>(position * 100 / file.size()))) {
                cancelled = true;
                return found;
            }
        }
        if (readLE32(file, position) != zipformat::LocalHeaderSignature) {
            if (!thorough && !found.empty())
                break; // the plain repair follows the chain of local records only
            ++position;
            continue;
        }
        if (auto entry = salvageAt(file, position)) {
            reporter.log("Recovered: " + entry->name);
            position += entry->recordSize;
            found.push_back(std::move(*entry));
        } else if (!thorough) {
            break;
        } else {
            ++position;
        }
    }
    return found;
}

std::string archiveComment(std::span<const uint8_t> file)
{
    MemoryByteSource source(file);
    auto hits = findEndRecordSignatures(source, EndRecordSearchMode::FirstHit);
    if (!hits.ok() || hits->empty())
        return {};
    auto end = readEndRecordAt(source, hits->front());
    if (!end.ok())
        return {};
    const uint64_t start = end->offset + zipformat::EndRecordSize;
    if (start + end->fields.commentLength > file.size())
        return {};
    return std::string(file.begin() + start, file.begin() + start + end->fields.commentLength);
}

} // namespace

uint16_t repairArchive(const RepairRequest& givenRequest, EngineReporter& reporter)
{
    // Through a symbolic link the file it names is repaired, and the link stays.
    RepairRequest request = givenRequest;
    request.archivePath = followArchiveLinks(request.archivePath);
    MappedFile archive(request.archivePath);
    if (!archive.opened()) {
        reporter.message("Cannot open " + request.archivePath + ": " + std::strerror(errno) + ". " +
                         request.archivePath + " was not changed.");
        return EngineResult::CannotOpenArchive;
    }
    if (!mayWriteArchive(request.archivePath)) {
        reporter.message("Cannot change " + request.archivePath + ": " + std::strerror(errno) + ". " +
                         request.archivePath + " was not changed.");
        return EngineResult::CannotOpenArchive;
    }
    const std::span<const uint8_t> file = archive.bytes();
    bool cancelled = false;
    std::vector<Salvaged> entries = findEntries(file, request.thorough, reporter, cancelled);
    if (cancelled)
        return EngineResult::Cancelled;
    if (entries.empty()) {
        reporter.message("No entry of " + request.archivePath + " could be recovered.");
        return EngineResult::BadArchive;
    }
    TemporaryArchive output;
    std::string error;
    if (!output.create(request.temporaryDirectory, error)) {
        reporter.message(error + ". " + request.archivePath + " was not changed.");
        return EngineResult::CannotCreate;
    }
    output.keepOwnership(archive.owner(), archive.group());
    // Whatever stands before the first local header (a self-extractor's program) is kept; a
    // damaged entry there that could not be recovered is not.
    size_t prefix = entries.front().offset;
    for (size_t position = 0; position + zipformat::LocalHeaderSize <= prefix; ++position) {
        if (readLE32(file, position) == zipformat::LocalHeaderSignature &&
            parseLocalHeader(file.subspan(position)).ok()) {
            prefix = position;
            break;
        }
    }
    output.write(file.subspan(0, prefix));
    std::vector<uint8_t> directory;
    for (const Salvaged& entry : entries) {
        CentralRecord record;
        CentralHeaderFields& fields = record.fields;
        fields.versionMadeBy = entry.fields.versionNeeded;
        fields.versionNeeded = entry.fields.versionNeeded;
        fields.flags = entry.fields.flags;
        fields.method = entry.fields.method;
        fields.modTime = entry.fields.modTime;
        fields.modDate = entry.fields.modDate;
        fields.crc32 = entry.fields.crc32;
        record.compressedSize = entry.compressedSize;
        record.uncompressedSize = entry.uncompressedSize;
        record.localHeaderOffset = output.position();
        record.name = entry.name;
        if (!entry.name.empty() && entry.name.back() == '/')
            fields.externalAttributes = zipformat::attribute::DosDirectory;
        appendCentralRecord(directory, record);
        output.write(file.subspan(entry.offset, entry.recordSize));
        const auto bytesOf = [](const std::string& text) {
            return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        };
        if (!reporter.status("Copying: " + decodeEntryName(bytesOf(entry.name), entry.fields.flags,
                                                           bytesOf(entry.extra)),
                             static_cast<uint32_t>(entry.offset * 100 / file.size())))
            return EngineResult::Cancelled;
    }
    const uint64_t directoryOffset = output.position();
    appendDirectoryEnd(directory, entries.size(), directory.size(), directoryOffset,
                       directoryOffset + directory.size(), zipformat::version::Zip64, archiveComment(file));
    output.write(directory);
    if (!output.commit(request.archivePath, archive.mode(), error)) {
        reporter.message(error + ". " + request.archivePath + " was not changed.");
        return output.diskFull() ? EngineResult::WriteError : EngineResult::CannotCreate;
    }
    reporter.message("Recovered " + std::to_string(entries.size()) + " entries of " + request.archivePath +
                     ".");
    return EngineResult::Ok;
}

} // namespace quarvo
