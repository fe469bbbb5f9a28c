#include "engines/dzip/ArchiveRepair.h"

#include "core/zip/EndRecordSearch.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"
#include "core/zip/ZipRecords.h"
#include "engines/api/EngineResult.h"
#include "engines/dzip/EntryEncoder.h"
#include "engines/dzip/TemporaryArchive.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

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

  private:
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    uint32_t m_mode = 0644;
    bool m_opened = false;
};

uint32_t readLE32(std::span<const uint8_t> bytes, size_t offset)
{
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

struct Salvaged {
    size_t offset = 0;
    size_t recordSize = 0;    // header, data, descriptor
    LocalHeaderFields fields; // sizes and CRC as finally known
    std::string name;
};

// Whether the data inflates (or is stored) to exactly size bytes with the CRC.
bool dataChecksOut(std::span<const uint8_t> data, uint16_t method, uint32_t crc, uint32_t size)
{
    if (method == zipformat::method::Stored)
        return data.size() == size && updateCrc32(0, data.data(), data.size()) == crc;
    if (method != zipformat::method::Deflated)
        return false;
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    std::vector<uint8_t> output(1 << 16);
    stream.next_in = const_cast<uint8_t*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    uint64_t produced = 0;
    uint32_t actual = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = output.data();
        stream.avail_out = static_cast<uInt>(output.size());
        status = inflate(&stream, Z_NO_FLUSH);
        const size_t got = output.size() - stream.avail_out;
        actual = updateCrc32(actual, output.data(), got);
        produced += got;
        if (status == Z_BUF_ERROR && got > 0)
            status = Z_OK;
    }
    const bool whole = status == Z_STREAM_END && stream.avail_in == 0;
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
                                  entry.fields.uncompressedSize)) {
            return std::nullopt;
        }
        entry.fields.compressedSize = static_cast<uint32_t>(dataSize);
        entry.recordSize = header->recordSize + dataSize + descriptorSize;
        return entry;
    };

    if (!(entry.fields.flags & zipformat::flag::DataDescriptor)) {
        if (entry.fields.compressedSize > file.size() - dataStart)
            return std::nullopt;
        return accept(entry.fields.compressedSize, 0);
    }
    for (size_t position = dataStart; position + 16 <= file.size(); ++position) {
        if (readLE32(file, position) != zipformat::DataDescriptorSignature)
            continue;
        auto descriptor = parseDataDescriptor(file.subspan(position, 16));
        if (!descriptor.ok() || descriptor->compressedSize != position - dataStart)
            continue;
        entry.fields.crc32 = descriptor->crc32;
        entry.fields.uncompressedSize = descriptor->uncompressedSize;
        if (auto accepted = accept(position - dataStart, 16))
            return accepted;
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

uint16_t repairArchive(const RepairRequest& request, EngineReporter& reporter)
{
    MappedFile archive(request.archivePath);
    if (!archive.opened()) {
        reporter.message("Cannot open " + request.archivePath + ": " + std::strerror(errno));
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
    if (entries.size() >= zipformat::Max16 || file.size() >= zipformat::Max32) {
        reporter.message(request.archivePath + " is too large to be repaired without ZIP64 records.");
        return EngineResult::TooLarge;
    }

    TemporaryArchive output;
    std::string error;
    if (!output.create(request.temporaryDirectory, error)) {
        reporter.message(error);
        return EngineResult::CannotCreate;
    }
    if (request.keepPrefix)
        output.write(file.subspan(0, entries.front().offset));
    std::vector<uint8_t> directory;
    for (const Salvaged& entry : entries) {
        CentralHeaderFields fields;
        fields.versionMadeBy = entry.fields.versionNeeded;
        fields.versionNeeded = entry.fields.versionNeeded;
        fields.flags = entry.fields.flags;
        fields.method = entry.fields.method;
        fields.modTime = entry.fields.modTime;
        fields.modDate = entry.fields.modDate;
        fields.crc32 = entry.fields.crc32;
        fields.compressedSize = entry.fields.compressedSize;
        fields.uncompressedSize = entry.fields.uncompressedSize;
        fields.localHeaderOffset = static_cast<uint32_t>(output.position());
        if (!entry.name.empty() && entry.name.back() == '/')
            fields.externalAttributes = zipformat::attribute::DosDirectory;
        appendCentralHeader(directory, fields, entry.name);
        output.write(file.subspan(entry.offset, entry.recordSize));
        if (!reporter.status("Copying: " +
                                 decodeArchiveText(std::span<const uint8_t>(
                                                       reinterpret_cast<const uint8_t*>(entry.name.data()),
                                                       entry.name.size()),
                                                   entry.fields.flags),
                             static_cast<uint32_t>(entry.offset * 100 / file.size())))
            return EngineResult::Cancelled;
    }
    EndRecordFields end;
    end.entriesOnThisDisk = end.entriesTotal = static_cast<uint16_t>(entries.size());
    end.directorySize = static_cast<uint32_t>(directory.size());
    end.directoryOffset = static_cast<uint32_t>(output.position());
    appendEndRecord(directory, end, archiveComment(file));
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
