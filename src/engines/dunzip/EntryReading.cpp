#include "engines/dunzip/EntryReading.h"

#include "core/zip/ZipFormat.h"
#include "core/zip/ZipMethodNames.h"
#include "core/zip/ZipRecords.h"
#include "engines/api/EngineResult.h"
#include "engines/common/PkwareCipher.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

namespace quarvo {

namespace {

namespace zf = zipformat;

// Room for the extra fields writers usually put in a local header (times, owners, ZIP64 sizes).
constexpr size_t UsualLocalExtraSize = 256;
// Entries whose compressed data is no larger are read with their local header in one read: with many
// small files, reads are a good part of the time.
constexpr uint64_t ReadWithHeaderLimit = 64 * 1024;

// The archive, with the bytes of one stretch of it already read.
class PrefetchedSource : public ByteSource {
  public:
    PrefetchedSource(ByteSource& whole, uint64_t start, std::span<const uint8_t> bytes)
        : m_whole(whole), m_start(start), m_bytes(bytes)
    {
    }
    uint64_t size() const override { return m_whole.size(); }
    size_t readAt(uint64_t offset, std::span<uint8_t> into) override
    {
        if (offset < m_start || offset - m_start > m_bytes.size() || m_bytes.size() - (offset - m_start) < into.size())
            return m_whole.readAt(offset, into);
        std::copy_n(m_bytes.begin() + static_cast<ptrdiff_t>(offset - m_start), into.size(), into.begin());
        return into.size();
    }

  private:
    ByteSource& m_whole;
    uint64_t m_start;
    std::span<const uint8_t> m_bytes;
};
// The local header fields that must agree with the central directory whatever the producer.
constexpr uint16_t CheckedFlags = zf::flag::Encrypted | zf::flag::DataDescriptor | zf::flag::StrongEncryption;

// A method's name in messages: its listing name, or its number when it has none.
std::string methodName(uint16_t method)
{
    std::string_view name = compressionMethodName(method);
    return name.empty() ? "method " + std::to_string(method) : std::string(name);
}

std::string hex32(uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

class EntryReader {
  public:
    EntryReader(ByteSource& source, const ArchiveEntry& entry, const std::string& shown,
                const EntryReadSettings& settings)
        : m_source(source), m_entry(entry), m_shown(shown), m_settings(settings)
    {
    }

    EntryReadOutcome read(const DecodeSink& sink, const DecodeProgress& progress)
    {
        std::optional<DecodeRequest> request = prepare();
        if (!request)
            return std::move(m_outcome);
        PrefetchedSource source(m_source, m_entry.localHeaderOffset, m_header);
        const DecodeResult result = decodeEntry(source, request.value(), sink, progress);
        if (result.status != DecodeStatus::Ok)
            reportFailure(result);
        return std::move(m_outcome);
    }

  private:
    std::nullopt_t fail(uint16_t code, std::string text)
    {
        m_outcome.code = code;
        m_outcome.messages.push_back(std::move(text));
        return std::nullopt;
    }

    std::optional<DecodeRequest> prepare();
    void reportFailure(const DecodeResult& result);

    ByteSource& m_source;
    const ArchiveEntry& m_entry;
    const std::string& m_shown;
    const EntryReadSettings& m_settings;
    EntryReadOutcome m_outcome;
    std::vector<uint8_t> m_header; // the local header as read, and the data when it was small
};

std::optional<DecodeRequest> EntryReader::prepare()
{
    const ArchiveEntry& entry = m_entry;
    const std::string& shown = m_shown;
    const CentralHeaderFields& central = entry.fields;
    if (!entry.damage.empty())
        return fail(EngineResult::BadArchive, shown + ": " + entry.damage + "; the entry is not trusted.");
    if (central.flags & zf::flag::StrongEncryption)
        return fail(EngineResult::UnsupportedMethod,
                    shown + ": PKWARE strong encryption is not supported; nothing was written for it.");
    std::optional<WinZipAesField> aes;
    uint16_t method = central.method;
    if (central.method == zf::method::Aes) {
        if (!entry.aes)
            return fail(EngineResult::UnsupportedMethod,
                        shown + ": AES encrypted, but " + describeAesFieldError(entry.aesProblem) + ".");
        aes = entry.aes;
        method = aes->actualMethod;
    }
    if (!isDecodableMethod(method))
        return fail(EngineResult::UnsupportedMethod, shown + ": compression method " + std::to_string(method) +
                                                         " (" + methodName(method) + ") is not supported.");

    // Most local headers are the central one's name plus a short extra field: a small read covers
    // them, and only a header that runs past it is read again at the largest size it can have.
    std::vector<uint8_t>& header = m_header;
    const size_t usualSize = zf::LocalHeaderSize + entry.storedName.size() + UsualLocalExtraSize;
    header.resize(usualSize + (entry.compressedSize <= ReadWithHeaderLimit ? entry.compressedSize : 0));
    size_t count = m_source.readAt(entry.localHeaderOffset, header);
    Result<LocalHeader> local = parseLocalHeader(std::span(header).first(count));
    if (!local && count == header.size()) {
        header.resize(zf::LocalHeaderSize + 2 * size_t{zf::Max16});
        count = m_source.readAt(entry.localHeaderOffset, header);
        local = parseLocalHeader(std::span(header).first(count));
    }
    header.resize(count);
    if (!local)
        return fail(EngineResult::BadArchive, shown + ": its local header is missing or damaged.");
    const LocalHeaderFields& l = local->fields;
    // Writers that do not know the sizes in advance (Info-ZIP's zip -fz, or zip writing to a pipe)
    // keep them in a ZIP64 extra field even when they are small.
    WideHeaderValues localSizes;
    if (widenLocalFields(l, local->extra, m_source.size(), localSizes) == Zip64Fields::Damaged)
        return fail(EngineResult::BadArchive, shown + ": its local header is missing or damaged.");
    std::string disagreement;
    // Compared as bytes: a plain char is signed here, so comparing it with uint8_t would call every
    // name with a byte above 0x7F (UTF-8, code page 437) a disagreement.
    const std::string_view localName(reinterpret_cast<const char*>(local->name.data()), local->name.size());
    if (localName != entry.storedName)
        disagreement = "name";
    else if (l.method != central.method)
        disagreement = "method";
    else if ((l.flags & CheckedFlags) != (central.flags & CheckedFlags))
        disagreement = "flags";
    else if (!(central.flags & zf::flag::DataDescriptor) &&
             (l.crc32 != central.crc32 || localSizes.compressedSize != entry.compressedSize ||
              localSizes.uncompressedSize != entry.uncompressedSize))
        disagreement = "CRC or sizes";
    if (!disagreement.empty())
        return fail(EngineResult::BadArchive, shown + ": the local header disagrees with the central directory (" +
                                                  disagreement + "); the entry is not trusted.");

    DecodeRequest request;
    request.dataOffset = entry.localHeaderOffset + local->recordSize;
    request.compressedSize = entry.compressedSize;
    request.uncompressedSize = entry.uncompressedSize;
    request.crc32 = central.crc32;
    request.method = method;
    request.flags = central.flags;
    request.aes = aes;
    // Compared by subtraction: a size near 2^64 would wrap the sum.
    const uint64_t directoryStart = m_settings.directoryStart;
    if (request.dataOffset > directoryStart || request.compressedSize > directoryStart - request.dataOffset)
        return fail(EngineResult::CrcError, shown + ": the data is truncated: it runs into the central directory.");
    if (central.flags & zf::flag::Encrypted) {
        if (!m_settings.decrypt || !m_settings.password || !*m_settings.password)
            return fail(EngineResult::WrongPassword, shown + ": the entry is encrypted and no password was given.");
        request.encrypted = true;
        request.password = m_settings.password;
        if (!aes)
            request.checkByte =
                PkwareCipher::checkByteFor(central.crc32, l.modTime, (l.flags & zf::flag::DataDescriptor) != 0);
    }
    return request;
}

void EntryReader::reportFailure(const DecodeResult& result)
{
    const ArchiveEntry& entry = m_entry;
    const std::string& shown = m_shown;
    const std::string kept = m_settings.testOnly ? "" : " No file was kept.";
    const std::string declared = std::to_string(entry.uncompressedSize);
    switch (result.status) {
    case DecodeStatus::Ok:
        return;
    case DecodeStatus::Cancelled:
        m_outcome.code = EngineResult::Cancelled;
        return;
    case DecodeStatus::WrongPassword:
        fail(EngineResult::WrongPassword, shown + ": wrong password." + kept);
        return;
    case DecodeStatus::CrcMismatch:
        if (entry.fields.flags & zf::flag::Encrypted)
            fail(EngineResult::WrongPassword, shown + ": wrong password or damaged data (CRC-32 " +
                                                  hex32(result.actualCrc32) + ", expected " +
                                                  hex32(entry.fields.crc32) + ")." + kept);
        else
            fail(EngineResult::CrcError, shown + ": CRC error: the data gives " + hex32(result.actualCrc32) +
                                             ", the directory says " + hex32(entry.fields.crc32) + "." + kept);
        return;
    case DecodeStatus::TooLong:
        fail(EngineResult::CrcError, shown + ": the data decodes to more than its declared " + declared +
                                         " bytes; stopped there (a zip bomb?)." + kept);
        return;
    case DecodeStatus::EndsEarly:
        fail(EngineResult::CrcError, shown + ": the compressed data is damaged: it gives only " +
                                         std::to_string(result.bytesOut) + " of its declared " + declared +
                                         " bytes." + kept);
        return;
    case DecodeStatus::Truncated:
        fail(EngineResult::CrcError, shown + ": the data is truncated: the archive ends inside it." + kept);
        return;
    case DecodeStatus::Corrupt:
        fail(EngineResult::CrcError, shown + ": the compressed data is damaged." + kept);
        return;
    case DecodeStatus::NotAuthentic:
        fail(EngineResult::CrcError, shown + ": the authentication code does not match: the "
                                         "encrypted data was damaged or changed." + kept);
        return;
    case DecodeStatus::MemoryLimit:
        fail(EngineResult::OutOfMemory,
             shown + ": the compressed data asks for more memory than an entry may use." + kept);
        return;
    case DecodeStatus::Unsupported:
        fail(EngineResult::UnsupportedMethod,
             shown + ": the data uses a variant of " +
                 methodName(entry.aes ? entry.aes->actualMethod : entry.fields.method) + " that is not supported." +
                 kept);
        return;
    case DecodeStatus::ReadError:
        fail(EngineResult::CannotOpenArchive, shown + ": the archive cannot be read." + kept);
        return;
    case DecodeStatus::OutputFailed:
        fail(EngineResult::WriteError, shown + ": writing failed (the disk may be full)." + kept);
        return;
    }
    fail(EngineResult::BadArchive, shown + ": the data could not be read." + kept);
}

} // namespace

EntryReadOutcome readEntryData(ByteSource& source, const ArchiveEntry& entry, const std::string& shown,
                               const EntryReadSettings& settings, const DecodeSink& sink,
                               const DecodeProgress& progress)
{
    return EntryReader(source, entry, shown, settings).read(sink, progress);
}

} // namespace quarvo
