#include "engines/dunzip/UnzipOperation.h"

#include "core/base/ByteReader.h"
#include "core/text/DosDateTime.h"
#include "core/zip/ByteSource.h"
#include "core/zip/WinZipAesField.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipMethodNames.h"
#include "core/zip/ZipNames.h"
#include "core/zip/ZipRecords.h"
#include "engines/api/EngineResult.h"
#include "engines/common/DeferredEntries.h"
#include "engines/common/Destination.h"
#include "engines/common/EngineLog.h"
#include "engines/common/EngineReporter.h"
#include "engines/common/EntryPath.h"
#include "engines/common/ExistingFile.h"
#include "engines/common/ItemSelector.h"
#include "engines/common/PkwareCipher.h"
#include "engines/dunzip/ArchiveIndex.h"
#include "engines/dunzip/EntryDecoder.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>
#include <unordered_set>

namespace quarvo {

namespace {

namespace zf = zipformat;

// Link targets are paths; anything longer is not one.
constexpr uint32_t MaximumLinkTargetSize = 4096;
// Room for the extra fields writers usually put in a local header (times, owners, ZIP64 sizes).
constexpr size_t UsualLocalExtraSize = 256;
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

// MS-DOS, OS/2 and Windows programs write "\" as their own separator; on Unix it is an ordinary
// character of a file name.
EntryNameRules nameRulesOf(const ArchiveEntry& entry)
{
    const uint8_t host = entry.fields.versionMadeBy >> 8;
    namespace h = zf::host;
    return {.backslashIsSeparator = host == h::MsDos || host == h::Os2Hpfs || host == h::Ntfs || host == h::Vfat,
            .refuseDrivePrefix = true};
}

bool isSymbolicLink(const ArchiveEntry& entry)
{
    return entry.fields.versionMadeBy >> 8 == zf::host::Unix &&
           (entry.fields.externalAttributes >> zf::attribute::UnixModeShift & zf::attribute::UnixTypeMask) ==
               zf::attribute::UnixSymbolicLink;
}

// The permission bits an entry made on Unix recorded, never set-user-ID, set-group-ID or sticky.
std::optional<mode_t> unixPermissionsOf(const ArchiveEntry& entry)
{
    uint32_t unixMode = entry.fields.externalAttributes >> zf::attribute::UnixModeShift;
    if (entry.fields.versionMadeBy >> 8 == zf::host::Unix && (unixMode & zf::attribute::UnixPermissions) != 0)
        return static_cast<mode_t>(unixMode & zf::attribute::UnixPermissions);
    return std::nullopt;
}

mode_t permissionsOf(const ArchiveEntry& entry)
{
    if (std::optional<mode_t> unixMode = unixPermissionsOf(entry))
        return *unixMode;
    bool readOnly = entry.fields.externalAttributes & zf::attribute::DosReadOnly;
    return readOnly ? 0444 : 0644;
}

std::time_t modificationTimeOf(const ArchiveEntry& entry)
{
    if (entry.unixModificationTime)
        return static_cast<std::time_t>(*entry.unixModificationTime);
    return timeFromDosDateTime(DosDateTime{entry.fields.modDate, entry.fields.modTime});
}

class Operation {
  public:
    explicit Operation(const UnzipCommand& command)
        : m_command(command),
          m_log(command.writeLog ? EngineLog(EngineLog::defaultPath("unzip.log")) : EngineLog()),
          m_reporter({command.messageCallback, command.messageCallbackData, command.statusCallback,
                      command.statusCallbackData, command.queryCallback, command.queryCallbackData},
                     &m_log)
    {
    }

    uint16_t run();

  private:
    // The outcome of decoding one entry: a result code (the message was given) and the data
    // when it was kept in memory.
    struct Decoded {
        uint16_t code = EngineResult::Ok;
        std::string bytes;
    };

    uint16_t checkCommand();
    uint16_t fail(uint16_t code, const std::string& text)
    {
        m_reporter.message(text);
        return code;
    }
    void record(uint16_t code)
    {
        if (code == EngineResult::Cancelled || m_result == EngineResult::Ok)
            m_result = code;
    }
    // Names each item that matched no entry; records EntriesSkipped when there is one. Returns the
    // result so far.
    uint16_t reportUnmatched(const std::vector<std::string>& unmatched);
    void processEntry(const ArchiveEntry& entry);
    uint16_t extractDirectory(const ArchiveEntry& entry, const std::vector<std::string>& components,
                              const std::string& shown);
    std::optional<DecodeRequest> prepareDecode(const ArchiveEntry& entry, const std::string& shown,
                                               uint16_t& code);
    Decoded decode(const ArchiveEntry& entry, const std::string& shown, PendingFile* file, bool keepInMemory);
    uint16_t reportDecodeFailure(const ArchiveEntry& entry, const std::string& shown,
                                 const DecodeResult& result);
    bool shouldExtract(const ArchiveEntry& entry, const std::string& shown,
                       const std::vector<std::string>& path, uint16_t& code);
    std::string statusText(const ArchiveEntry& entry, const std::string& shown) const;

    const UnzipCommand& m_command;
    EngineLog m_log;
    EngineReporter m_reporter;
    std::unique_ptr<FileByteSource> m_source;
    std::optional<Destination> m_destination;
    ArchiveIndex m_index;
    uint16_t m_result = EngineResult::Ok;
    uint64_t m_totalBytes = 0;
    uint64_t m_doneBytes = 0;
    size_t m_processed = 0;
    size_t m_failed = 0;
    DeferredEntries m_deferred;
    std::unordered_set<std::string> m_seenNames;
};

uint16_t Operation::checkCommand()
{
    if (m_command.function != UnzipFunction::Extract)
        return fail(EngineResult::BadArgument,
                    "Unknown function " + std::to_string(m_command.function) + ".");
    if (!m_command.archivePath || !*m_command.archivePath)
        return fail(EngineResult::BadArgument, "No archive was named.");
    if (!m_command.testOnly && (!m_command.destinationDirectory || !*m_command.destinationDirectory))
        return fail(EngineResult::BadArgument, "No destination directory was given.");
    return EngineResult::Ok;
}

uint16_t Operation::run()
{
    if (uint16_t code = checkCommand(); code != EngineResult::Ok)
        return code;
    const std::string archivePath = m_command.archivePath;
    m_reporter.log(std::string(m_command.testOnly ? "Testing " : "Extracting from ") + archivePath);
    Result<FileByteSource, OpenError> source = FileByteSource::open(archivePath);
    if (!source)
        return fail(EngineResult::CannotOpenArchive, "Cannot open " + escapeControlCharacters(archivePath) +
                                                         ": " + source.error().message + ".");
    m_source = std::make_unique<FileByteSource>(std::move(source).value());
    if (!m_reporter.status("Reading: " + escapeControlCharacters(archivePath), 0))
        return EngineResult::Cancelled;

    Result<ArchiveIndex, IndexError> index = ArchiveIndex::load(*m_source);
    if (!index)
        return fail(index.error().code, index.error().message);
    m_index = std::move(index).value();

    ItemSelector selector(m_command.itemSpecification ? m_command.itemSpecification : "*.*",
                          m_command.recursePathInformation != 0);
    std::vector<std::string_view> names;
    names.reserve(m_index.entries.size());
    for (const ArchiveEntry& entry : m_index.entries)
        names.push_back(entry.name);
    const ItemSelector::Selection selection = selector.select(names);
    std::vector<const ArchiveEntry*> selected;
    for (size_t i = 0; i < m_index.entries.size(); ++i) {
        if (selection.chosen[i]) {
            selected.push_back(&m_index.entries[i]);
            m_totalBytes += m_index.entries[i].uncompressedSize;
        }
    }
    // An empty archive is a sound archive with nothing in it, not a selection that missed.
    if (m_index.entries.empty()) {
        m_reporter.message("The archive holds no entries.");
        return reportUnmatched(selection.unmatched);
    }
    if (selected.empty())
        return fail(EngineResult::NothingToDo, "No entry of the archive matches the names given.");

    OverlapReport overlaps = findOverlappingEntries(*m_source, m_index.entries);
    if (overlaps.firstPair) {
        const ArchiveEntry& first = m_index.entries[overlaps.firstPair->first];
        const ArchiveEntry& second = m_index.entries[overlaps.firstPair->second];
        return fail(EngineResult::BadArchive, "The data of " + std::to_string(overlaps.overlappingEntries) +
                                                  " entries overlap (for example " +
                                                  escapeControlCharacters(first.name) + " and " +
                                                  escapeControlCharacters(second.name) +
                                                  "). The archive looks like a zip bomb and is refused.");
    }

    if (!m_command.testOnly) {
        Result<Destination> destination = Destination::open(m_command.destinationDirectory);
        if (!destination)
            return fail(EngineResult::CannotCreate,
                        "Cannot open the destination directory " +
                            escapeControlCharacters(m_command.destinationDirectory) + ": " +
                            destination.error().message + ".");
        m_destination.emplace(std::move(destination).value());
    }

    for (const ArchiveEntry* entry : selected) {
        processEntry(*entry);
        if (m_reporter.stopped())
            return EngineResult::Cancelled;
    }
    if (m_destination) {
        m_deferred.finish(*m_destination, m_reporter, [this](uint16_t code) {
            ++m_failed;
            record(code);
        });
    }
    if (m_reporter.stopped())
        return EngineResult::Cancelled;

    reportUnmatched(selection.unmatched);

    std::string summary = m_command.testOnly ? "Tested " : "Extracted ";
    summary += std::to_string(m_processed - m_failed) + " of " + std::to_string(m_processed) + " entries";
    summary += m_failed == 0 ? ": no errors" : "; " + std::to_string(m_failed) + " had problems";
    if (m_command.testOnly && m_failed == 0)
        summary = "No errors detected in " + std::to_string(m_processed) + " entries";
    if (!selection.unmatched.empty())
        summary += "; " + std::to_string(selection.unmatched.size()) +
                   (selection.unmatched.size() == 1 ? " name" : " names") + " matched no entry";
    m_reporter.message(summary + ".");
    return m_reporter.stopped() ? EngineResult::Cancelled : m_result;
}

uint16_t Operation::reportUnmatched(const std::vector<std::string>& unmatched)
{
    // Every name given that matched nothing is a miss the user should hear of, even when the
    // others were done: a mistyped name would otherwise pass for an extracted file.
    for (const std::string& item : unmatched)
        m_reporter.message("No entry of the archive matches " + escapeControlCharacters(item) + ".");
    if (!unmatched.empty())
        record(EngineResult::EntriesSkipped);
    return m_result;
}

std::string Operation::statusText(const ArchiveEntry& entry, const std::string& shown) const
{
    if (m_command.testOnly)
        return "Testing: " + shown;
    switch (entry.fields.method) {
    case zf::method::Stored:
        return "Extracting: " + shown;
    case zf::method::Deflated:
        return "Inflating: " + shown;
    default:
        return "Decompressing: " + shown;
    }
}

void Operation::processEntry(const ArchiveEntry& entry)
{
    const std::string shown = escapeControlCharacters(entry.name);
    ++m_processed;
    uint16_t code = EngineResult::Ok;
    auto finish = [&](uint16_t result) {
        if (result != EngineResult::Ok && result != EngineResult::Cancelled)
            ++m_failed;
        record(result);
        m_doneBytes += entry.uncompressedSize;
    };
    if (!m_reporter.status(statusText(entry, shown), percentOf(m_doneBytes, m_totalBytes)))
        return finish(EngineResult::Cancelled);

    if (!m_seenNames.insert(entry.name).second) {
        if (!m_command.testOnly)
            return finish(fail(EngineResult::EntriesSkipped,
                               "Skipped " + shown +
                                   ": the archive holds more than one entry of that name; the "
                                   "first one was taken."));
        m_reporter.message(shown + " appears more than once in the archive.");
    }

    Result<EntryPath> path = splitEntryPath(entry.name, entry.storedName, nameRulesOf(entry));
    if (m_command.testOnly) {
        // A test checks the data of every entry, directories included; a name that extraction
        // would refuse is a problem of its own, told apart from the data's.
        uint16_t nameCode = EngineResult::Ok;
        if (!path)
            nameCode =
                fail(EngineResult::EntriesSkipped,
                     "Unsafe name " + shown + ": " + path.error().message + "; extraction would refuse it.");
        const uint16_t dataCode = decode(entry, shown, nullptr, false).code;
        return finish(dataCode != EngineResult::Ok ? dataCode : nameCode);
    }
    if (!path)
        return finish(fail(EngineResult::EntriesSkipped, "Refused " + shown + ": " + path.error().message +
                                                             "; nothing was written for it."));
    if (path->isDirectory)
        return finish(extractDirectory(entry, path->components, shown));

    std::vector<std::string> components = path->components;
    if (m_command.noDirectoryNames)
        components = {components.back()};
    if (!shouldExtract(entry, shown, components, code)) {
        m_doneBytes += entry.uncompressedSize;
        --m_processed;
        if (code != EngineResult::Ok) {
            ++m_processed;
            ++m_failed;
            record(code);
        }
        return;
    }

    if (isSymbolicLink(entry)) {
        if (entry.uncompressedSize > MaximumLinkTargetSize)
            return finish(
                fail(EngineResult::EntriesSkipped, "Skipped link " + shown + ": its target is too long."));
        Decoded decoded = decode(entry, shown, nullptr, true);
        if (decoded.code == EngineResult::Ok)
            m_deferred.addSymbolicLink(shown, components, decoded.bytes, {},
                                       timespec{modificationTimeOf(entry), 0});
        return finish(decoded.code);
    }

    Result<PendingFile> file = m_destination->createFile(components);
    if (!file)
        return finish(
            fail(EngineResult::CannotCreate, "Cannot create " + shown + ": " + file.error().message + "."));
    Decoded decoded = decode(entry, shown, &file.value(), false);
    if (decoded.code != EngineResult::Ok)
        return finish(decoded.code);
    Result<Ok> committed = file->commit(permissionsOf(entry), modificationTimeOf(entry));
    if (!committed)
        return finish(fail(EngineResult::CannotCreate,
                           "Cannot create " + shown + ": " + committed.error().message + "."));
    m_reporter.log("Extracted " + shown);
    finish(EngineResult::Ok);
}

uint16_t Operation::extractDirectory(const ArchiveEntry& entry, const std::vector<std::string>& components,
                                     const std::string& shown)
{
    // "./" names the destination itself, which exists.
    if (m_command.noDirectoryNames || components.empty())
        return EngineResult::Ok;
    Result<Ok> made = m_destination->makeDirectories(components);
    if (!made)
        return fail(EngineResult::CannotCreate,
                    "Cannot create the directory " + shown + ": " + made.error().message + ".");
    // Nothing for a directory made on MS-DOS: its attributes have no search bit, so it keeps the
    // mode it was created with.
    m_deferred.addDirectory(shown, components, unixPermissionsOf(entry), {modificationTimeOf(entry), 0});
    return EngineResult::Ok;
}

bool Operation::shouldExtract(const ArchiveEntry& entry, const std::string& shown,
                              const std::vector<std::string>& path, uint16_t& code)
{
    Result<std::optional<struct stat>> existing = m_destination->statusOf(path);
    if (!existing) {
        code = fail(EngineResult::CannotCreate,
                    "Cannot create " + shown + ": " + existing.error().message + ".");
        return false;
    }
    const ReplaceRules rules{.overwrite = m_command.overwrite != 0,
                             .update = m_command.update != 0,
                             .freshen = m_command.freshen != 0};
    ExistingFileDecision decision = decideOverExisting(existing.value(), rules, modificationTimeOf(entry), shown);
    if (decision.code != EngineResult::Ok)
        code = fail(decision.code, decision.message);
    return decision.write;
}

std::optional<DecodeRequest> Operation::prepareDecode(const ArchiveEntry& entry, const std::string& shown,
                                                      uint16_t& code)
{
    const CentralHeaderFields& central = entry.fields;
    if (!entry.damage.empty()) {
        code = fail(EngineResult::BadArchive, shown + ": " + entry.damage + "; the entry is not trusted.");
        return std::nullopt;
    }
    if (central.flags & zf::flag::StrongEncryption) {
        code = fail(EngineResult::UnsupportedMethod,
                    shown + ": PKWARE strong encryption is not supported; nothing was written for it.");
        return std::nullopt;
    }
    std::optional<WinZipAesField> aes;
    uint16_t method = central.method;
    if (central.method == zf::method::Aes) {
        if (!entry.aes) {
            code = fail(EngineResult::UnsupportedMethod,
                        shown + ": AES encrypted, but " + describeAesFieldError(entry.aesProblem) + ".");
            return std::nullopt;
        }
        aes = entry.aes;
        method = aes->actualMethod;
    }
    if (!isDecodableMethod(method)) {
        code = fail(EngineResult::UnsupportedMethod, shown + ": compression method " + std::to_string(method) +
                                                         " (" + methodName(method) + ") is not supported.");
        return std::nullopt;
    }

    // Most local headers are the central one's name plus a short extra field: a small read covers
    // them, and only a header that runs past it is read again at the largest size it can have.
    std::vector<uint8_t> header(zf::LocalHeaderSize + entry.storedName.size() + UsualLocalExtraSize);
    size_t count = m_source->readAt(entry.localHeaderOffset, header);
    Result<LocalHeader> local = parseLocalHeader(std::span(header).first(count));
    if (!local && count == header.size()) {
        header.resize(zf::LocalHeaderSize + 2 * size_t{zf::Max16});
        count = m_source->readAt(entry.localHeaderOffset, header);
        local = parseLocalHeader(std::span(header).first(count));
    }
    if (!local) {
        code = fail(EngineResult::BadArchive, shown + ": its local header is missing or damaged.");
        return std::nullopt;
    }
    const LocalHeaderFields& l = local->fields;
    // Writers that do not know the sizes in advance (Info-ZIP's zip -fz, or zip writing to a pipe)
    // keep them in a ZIP64 extra field even when they are small.
    WideHeaderValues localSizes;
    if (widenLocalFields(l, local->extra, m_source->size(), localSizes) == Zip64Fields::Damaged) {
        code = fail(EngineResult::BadArchive, shown + ": its local header is missing or damaged.");
        return std::nullopt;
    }
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
    if (!disagreement.empty()) {
        code = fail(EngineResult::BadArchive,
                    shown + ": the local header disagrees with the central directory (" + disagreement +
                        "); the entry is not trusted.");
        return std::nullopt;
    }

    DecodeRequest request;
    request.dataOffset = entry.localHeaderOffset + local->recordSize;
    request.compressedSize = entry.compressedSize;
    request.uncompressedSize = entry.uncompressedSize;
    request.crc32 = central.crc32;
    request.method = method;
    request.flags = central.flags;
    request.aes = aes;
    // Compared by subtraction: a size near 2^64 would wrap the sum.
    const uint64_t directoryStart = m_index.directory.start;
    if (request.dataOffset > directoryStart || request.compressedSize > directoryStart - request.dataOffset) {
        code = fail(EngineResult::CrcError,
                    shown + ": the data is truncated: it runs into the central directory.");
        return std::nullopt;
    }
    if (central.flags & zf::flag::Encrypted) {
        if (!m_command.decrypt || !m_command.password || !*m_command.password) {
            code = fail(EngineResult::WrongPassword,
                        shown + ": the entry is encrypted and no password was given.");
            return std::nullopt;
        }
        request.encrypted = true;
        request.password = m_command.password;
        if (!aes)
            request.checkByte =
            PkwareCipher::checkByteFor(central.crc32, l.modTime, (l.flags & zf::flag::DataDescriptor) != 0);
    }
    return request;
}

Operation::Decoded Operation::decode(const ArchiveEntry& entry, const std::string& shown, PendingFile* file,
                                     bool keepInMemory)
{
    Decoded decoded;
    std::optional<DecodeRequest> request = prepareDecode(entry, shown, decoded.code);
    if (!request)
        return decoded;
    const std::string status = statusText(entry, shown);
    DecodeSink sink = [&](std::span<const uint8_t> bytes) {
        if (keepInMemory)
            decoded.bytes.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return !file || file->write(bytes);
    };
    DecodeProgress progress = [&](uint64_t bytesOut) {
        return m_reporter.status(status, percentOf(m_doneBytes + bytesOut, m_totalBytes));
    };
    DecodeResult result = decodeEntry(*m_source, request.value(), sink, progress);
    if (result.status != DecodeStatus::Ok)
        decoded.code = reportDecodeFailure(entry, shown, result);
    return decoded;
}

uint16_t Operation::reportDecodeFailure(const ArchiveEntry& entry, const std::string& shown,
                                        const DecodeResult& result)
{
    const std::string kept = m_command.testOnly ? "" : " No file was kept.";
    const std::string declared = std::to_string(entry.uncompressedSize);
    switch (result.status) {
    case DecodeStatus::Ok:
        return EngineResult::Ok;
    case DecodeStatus::Cancelled:
        return EngineResult::Cancelled;
    case DecodeStatus::WrongPassword:
        return fail(EngineResult::WrongPassword, shown + ": wrong password." + kept);
    case DecodeStatus::CrcMismatch:
        if (entry.fields.flags & zf::flag::Encrypted)
            return fail(EngineResult::WrongPassword, shown + ": wrong password or damaged data (CRC-32 " +
                                                         hex32(result.actualCrc32) + ", expected " +
                                                         hex32(entry.fields.crc32) + ")." + kept);
        return fail(EngineResult::CrcError, shown + ": CRC error: the data gives " +
                                                hex32(result.actualCrc32) + ", the directory says " +
                                                hex32(entry.fields.crc32) + "." + kept);
    case DecodeStatus::TooLong:
        return fail(EngineResult::CrcError, shown + ": the data decodes to more than its declared " +
                                                declared + " bytes; stopped there (a zip bomb?)." + kept);
    case DecodeStatus::EndsEarly:
        return fail(EngineResult::CrcError, shown + ": the compressed data is damaged: it gives only " +
                                                std::to_string(result.bytesOut) + " of its declared " +
                                                declared + " bytes." + kept);
    case DecodeStatus::Truncated:
        return fail(EngineResult::CrcError,
                    shown + ": the data is truncated: the archive ends inside it." + kept);
    case DecodeStatus::Corrupt:
        return fail(EngineResult::CrcError, shown + ": the compressed data is damaged." + kept);
    case DecodeStatus::NotAuthentic:
        return fail(EngineResult::CrcError, shown + ": the authentication code does not match: the "
                                                "encrypted data was damaged or changed." + kept);
    case DecodeStatus::MemoryLimit:
        return fail(EngineResult::OutOfMemory,
                    shown + ": the compressed data asks for more memory than an entry may use." + kept);
    case DecodeStatus::Unsupported:
        return fail(EngineResult::UnsupportedMethod,
                    shown + ": the data uses a variant of " +
                        methodName(entry.aes ? entry.aes->actualMethod : entry.fields.method) +
                        " that is not supported." + kept);
    case DecodeStatus::ReadError:
        return fail(EngineResult::CannotOpenArchive, shown + ": the archive cannot be read." + kept);
    case DecodeStatus::OutputFailed:
        return fail(EngineResult::WriteError, shown + ": writing failed (the disk may be full)." + kept);
    }
    return EngineResult::BadArchive;
}

} // namespace

uint16_t runUnzipOperation(const UnzipCommand& command)
{
    return Operation(command).run();
}

} // namespace quarvo
