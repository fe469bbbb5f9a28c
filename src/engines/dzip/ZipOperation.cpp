#include "engines/dzip/ZipOperation.h"

#include "core/base/TextCase.h"
#include "core/text/DosDateTime.h"
#include "core/zip/Zip64Records.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"
#include "engines/api/EngineResult.h"
#include "engines/common/NameList.h"
#include "engines/common/ItemSelector.h"
#include "engines/dzip/ArchiveRepair.h"
#include "engines/dzip/AesEntryEncryption.h"
#include "engines/dzip/ArchiveTarget.h"
#include "engines/dzip/CompressionPool.h"
#include "engines/dzip/DateArgument.h"
#include "engines/dzip/StreamEncoder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <thread>

namespace quarvo {

namespace {

// How many bytes of files may be read ahead of the writer.
constexpr uint64_t readAheadBudget = 48u << 20;
constexpr size_t copyBlockSize = 1 << 20;

// Unix host, and the format version this writer follows (2.0: deflate and traditional encryption).
constexpr uint16_t versionMadeBy = static_cast<uint16_t>(zipformat::host::Unix) << 8 | 30;

const char* textOf(const char* text)
{
    return text ? text : "";
}

bool isPlainAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

uint32_t externalAttributesFor(const SourceFile& file)
{
    uint32_t attributes = (file.mode & 0xFFFF) << zipformat::attribute::UnixModeShift;
    if (file.directory)
        attributes |= zipformat::attribute::DosDirectory;
    if (!(file.mode & S_IWUSR))
        attributes |= zipformat::attribute::DosReadOnly;
    return attributes;
}

// The directory record of a new entry: the local header's fields, with the CRC and sizes of the
// data actually read and written (a data descriptor carries them when the local header could not).
CentralRecord centralRecordFor(const SourceFile& file, const LocalHeaderFields& local,
                               const EncodedData& data, uint64_t compressedSize, uint64_t offset)
{
    CentralRecord record;
    record.fields.versionMadeBy = versionMadeBy;
    record.fields.versionNeeded = local.versionNeeded;
    record.fields.flags = local.flags;
    record.fields.method = local.method;
    record.fields.modTime = local.modTime;
    record.fields.modDate = local.modDate;
    record.fields.crc32 = data.crc32;
    record.compressedSize = compressedSize;
    record.uncompressedSize = data.uncompressedSize;
    record.fields.externalAttributes = externalAttributesFor(file);
    record.localHeaderOffset = offset;
    record.name = file.storedName;
    record.extra = data.extra;
    return record;
}

// The directory record of a copied entry at its new position. Sizes do not change in a copy, so a
// record whose offset field was not saturated and still fits is kept byte for byte, even with the
// ZIP64 sizes zip -fz writes for small entries. Otherwise its ZIP64 block is made again for the
// values as they are now, or dropped when none needs it any more.
CentralRecord copiedRecordOf(const ExistingEntry& entry, uint64_t newOffset)
{
    CentralRecord record{entry.fields, entry.compressedSize, entry.uncompressedSize, newOffset,
                         entry.rawName, entry.extra, entry.comment};
    const bool offsetWasWide = entry.fields.localHeaderOffset == zipformat::Max32 ||
                               entry.fields.diskNumberStart == zipformat::Max16;
    if (entry.zip64Fields && !offsetWasWide && !valueNeedsZip64(newOffset)) {
        record.keepFields = true;
        record.fields.localHeaderOffset = static_cast<uint32_t>(newOffset);
        return record;
    }
    if (entry.zip64Fields || valueNeedsZip64(newOffset))
        record.extra = withoutExtraBlock(entry.extra, zipformat::extra::Zip64);
    // A disk number saturated for ZIP64 stood for disk 0, the only one.
    record.fields.diskNumberStart = 0;
    return record;
}

// The version a reader needs for an entry: 1.0 for plain stored data, 2.0 for deflate and the
// traditional cipher, 5.1 for AES.
uint16_t versionNeededFor(const EncodedData& data, bool directory)
{
    if (data.method == zipformat::method::Aes)
        return zipformat::version::Aes;
    if (data.method == zipformat::method::Stored && !(data.flags & zipformat::flag::Encrypted) && !directory)
        return zipformat::version::Default;
    return zipformat::version::Deflate;
}

// A stamp as one number that orders stamps in time: the date in the upper half.
uint32_t orderOf(DosDateTime stamp)
{
    return static_cast<uint32_t>(stamp.date) << 16 | stamp.time;
}

uint16_t resultForArchiveProblem(ArchiveProblem problem)
{
    switch (problem) {
    case ArchiveProblem::ReadError:
        return EngineResult::CannotOpenArchive;
    default:
        return EngineResult::BadArchive;
    }
}

EngineReporter::Callbacks callbacksOf(const ZipCommand& command)
{
    EngineReporter::Callbacks callbacks;
    callbacks.message = command.messageCallback;
    callbacks.messageData = command.messageCallbackData;
    callbacks.status = command.statusCallback;
    callbacks.statusData = command.statusCallbackData;
    callbacks.query = command.queryCallback;
    callbacks.queryData = command.queryCallbackData;
    return callbacks;
}

} // namespace

// Files handed to the workers ahead of the writer, in output order.
struct PendingJobs {
    std::unique_ptr<CompressionPool> pool;
    std::map<size_t, std::shared_ptr<CompressionPool::Job>> jobs; // by source index
    uint64_t bytesAhead = 0;
};

ZipOperation::ZipOperation(const ZipCommand& command, StreamingLimits limits)
    : m_command(command), m_limits(limits), m_log(command.writeLog ? EngineLog::defaultPath("zip.log") : std::string()),
      m_reporter(callbacksOf(command), &m_log), m_archivePath(textOf(command.archivePath))
{
}

uint16_t ZipOperation::run()
{
    m_reporter.log("dzip function " + std::to_string(m_command.function) + " on " + m_archivePath +
                   ", items " + textOf(m_command.itemSpecification));
    const uint16_t result = execute();
    m_reporter.log("dzip result " + std::to_string(result));
    return result;
}

uint16_t ZipOperation::fail(uint16_t result, const std::string& text)
{
    m_reporter.message(text);
    return result;
}

uint16_t ZipOperation::execute()
{
    if (m_archivePath.empty())
        return fail(EngineResult::BadArgument, "No archive was named.");
    if (m_command.spanOptions != 0)
        return fail(EngineResult::BadArgument,
                    "Spanning disks is not available on this system: disks are never formatted or wiped.");
    if (m_command.repair || m_command.thoroughRepair) {
        RepairRequest request;
        request.archivePath = m_archivePath;
        request.thorough = m_command.thoroughRepair != 0;
        request.temporaryDirectory = temporaryDirectory();
        return repairArchive(request, m_reporter);
    }
    if (m_command.function < ZipFunction::Freshen || m_command.function > ZipFunction::Add)
        return fail(EngineResult::BadArgument,
                    "Unknown operation " + std::to_string(m_command.function) + ".");

    std::optional<CalendarDay> since;
    if (m_command.dateGiven && m_command.date) {
        since = parseDateArgument(m_command.date);
        if (!since)
            return fail(EngineResult::BadArgument,
                        std::string("The date ") + m_command.date +
                            " is not valid: use MM-DD-YYYY, MMDDYYYY or YYYY-MM-DD.");
    }
    if (m_command.commentGiven && m_command.comment &&
        std::strlen(m_command.comment) > zipformat::MaximumCommentLength)
        return fail(EngineResult::BadArgument, "The archive comment is longer than 65,535 bytes.");

    if (const uint16_t result = loadArchive(); result != EngineResult::Ok)
        return result;
    m_newComment = m_command.commentGiven ? std::string(textOf(m_command.comment)) : m_archive.comment;

    if (m_command.function == ZipFunction::Delete) {
        if (const uint16_t result = planDelete(); result != EngineResult::Ok)
            return result;
    } else {
        m_encoding.deflateLevel = deflateLevelFor(m_command.compressionLevel);
        m_encoding.encrypt = m_command.encrypt && m_command.password && m_command.password[0];
        if (m_encoding.encrypt)
            m_encoding.password = m_command.password;
        if (m_command.encryption != ZipEncryption::Traditional && m_command.encryption != ZipEncryption::Aes256)
            return fail(EngineResult::BadArgument,
                        "Unknown encryption " + std::to_string(m_command.encryption) + ".");
        m_encoding.aes = m_command.encryption == ZipEncryption::Aes256;
        if (const uint16_t result = planAdd(); result != EngineResult::Ok)
            return result;
        if (since) {
            std::erase_if(m_output, [&](const OutputItem& item) {
                return item.fromDisk && localDayOf(m_sources[item.index].modified) < *since;
            });
        }
        if (std::none_of(m_output.begin(), m_output.end(),
                         [](const OutputItem& item) { return item.fromDisk; }))
            return EngineResult::NothingToDo;
    }
    measureWork();
    if (const uint16_t result = build(); result != EngineResult::Ok)
        return result;
    applyOldAsLatest();
    if (m_command.deleteSourceFiles)
        removeMovedSources();
    return m_entriesSkipped ? EngineResult::EntriesSkipped : EngineResult::Ok;
}

std::string ZipOperation::temporaryDirectory() const
{
    if (m_command.temporaryDirectoryGiven && m_command.temporaryDirectory && m_command.temporaryDirectory[0])
        return m_command.temporaryDirectory;
    const size_t slash = m_archivePath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : m_archivePath.substr(0, slash);
}

std::string ZipOperation::unchanged() const
{
    return m_archivePath + (m_archiveExists ? " was not changed." : " was not created.");
}

uint16_t ZipOperation::loadArchive()
{
    // Through a symbolic link the file it names is changed, and the link stays.
    m_archivePath = followArchiveLinks(m_archivePath);
    struct stat status {};
    if (stat(m_archivePath.c_str(), &status) != 0) {
        if (errno != ENOENT)
            return fail(EngineResult::CannotOpenArchive,
                        "Cannot open " + m_archivePath + ": " + std::strerror(errno) + ". " + m_archivePath +
                            " was not changed.");
        const mode_t mask = umask(0);
        umask(mask);
        m_archiveMode = 0666 & ~mask;
        return EngineResult::Ok;
    }
    if (!S_ISREG(status.st_mode))
        return fail(EngineResult::CannotOpenArchive, m_archivePath + " is not a file.");
    m_archiveExists = true;
    m_archiveMode = status.st_mode & 07777;
    if (!mayWriteArchive(m_archivePath))
        return fail(EngineResult::CannotOpenArchive, "Cannot change " + m_archivePath + ": " +
                                                         std::strerror(errno) + ". " + unchanged());
    m_temporary.keepOwnership(status.st_uid, status.st_gid);
    if (status.st_size == 0)
        return EngineResult::Ok; // an empty file is taken as an archive without entries
    auto source = FileByteSource::open(m_archivePath);
    if (!source.ok())
        return fail(EngineResult::CannotOpenArchive,
                    "Cannot open " + m_archivePath + ": " + source.error().message + ". " + unchanged());
    auto archive = readExistingArchive(source.value());
    if (!archive.ok())
        return fail(resultForArchiveProblem(archive.error().problem),
                    m_archivePath + ": " + archive.error().message + " " + unchanged());
    m_archive = std::move(archive.value());
    for (size_t i = 0; i < m_archive.entries.size(); ++i)
        m_output.push_back(OutputItem{false, i});
    return EngineResult::Ok;
}

uint16_t ZipOperation::planDelete()
{
    if (!m_archiveExists)
        return fail(EngineResult::CannotOpenArchive, "The archive " + m_archivePath + " does not exist.");
    // Names and patterns mean what they mean to extraction: a stored name is that entry, even
    // when it holds `*` or `?`, and `*` reaches into subdirectories.
    const ItemSelector selector(textOf(m_command.itemSpecification), m_command.recurse != 0);
    std::vector<std::string_view> names;
    names.reserve(m_archive.entries.size());
    for (const ExistingEntry& entry : m_archive.entries)
        names.push_back(entry.name);
    const ItemSelector::Selection selection = selector.select(names);
    for (const std::string& unmatched : selection.unmatched) {
        m_entriesSkipped = true;
        if (!m_reporter.message("Not found in the archive: " + unmatched))
            return EngineResult::Cancelled;
    }
    const std::vector<bool>& doomed = selection.chosen;
    if (std::find(doomed.begin(), doomed.end(), true) == doomed.end())
        return EngineResult::NothingToDo;
    std::erase_if(m_output, [&](const OutputItem& item) {
        if (!doomed[item.index])
            return false;
        m_reporter.log("Deleting: " + m_archive.entries[item.index].name);
        return true;
    });
    return EngineResult::Ok;
}

uint16_t ZipOperation::planAdd()
{
    SourceSelection selection;
    selection.specifications = splitNameList(textOf(m_command.itemSpecification));
    selection.recurse = m_command.recurse;
    selection.includeHiddenAndSystem = m_command.includeSystemAndHidden;
    selection.noDirectoryNames = m_command.noDirectoryNames;
    if (m_command.includeListGiven && m_command.includeList)
        selection.includeNames = splitNameList(m_command.includeList);
    if (m_command.excludeListGiven && m_command.excludeList)
        selection.excludeNames = splitNameList(m_command.excludeList);
    struct stat archiveStatus {};
    if (m_archiveExists && stat(m_archivePath.c_str(), &archiveStatus) == 0)
        selection.skipFiles.insert({archiveStatus.st_dev, archiveStatus.st_ino});

    CollectedSources collected = collectSources(selection);
    for (const std::string& note : collected.notes) {
        if (!m_reporter.message(note))
            return EngineResult::Cancelled;
    }
    if (collected.hiddenLeftOut > 0) {
        const bool one = collected.hiddenLeftOut == 1;
        if (!m_reporter.message("Skipped " + std::to_string(collected.hiddenLeftOut) +
                                (one ? " hidden file or folder" : " hidden files or folders") +
                                " (names beginning with a dot): system and hidden files were not included."))
            return EngineResult::Cancelled;
    }
    if (collected.readError)
        return fail(EngineResult::ReadError, *collected.readError + ". " + unchanged());
    for (const std::string& duplicate : collected.duplicates) {
        m_entriesSkipped = true;
        if (!m_reporter.message("Skipped (the same name was already added): " + duplicate))
            return EngineResult::Cancelled;
    }
    m_sources = std::move(collected.files);
    m_sourceComments.assign(m_sources.size(), std::string());

    std::map<std::string, size_t> existing; // stored name -> position in m_output
    for (size_t i = 0; i < m_output.size(); ++i)
        existing.emplace(m_archive.entries[m_output[i].index].name, i);
    const uint32_t function = m_command.function;
    for (size_t i = 0; i < m_sources.size(); ++i) {
        const SourceFile& file = m_sources[i];
        auto found = existing.find(file.storedName);
        if (found == existing.end()) {
            if (function == ZipFunction::Freshen)
                continue;
            m_output.push_back(OutputItem{true, i});
            continue;
        }
        OutputItem& item = m_output[found->second];
        if (item.fromDisk)
            continue;
        if (function != ZipFunction::Add) {
            const ExistingEntry& entry = m_archive.entries[item.index];
            const DosDateTime stored{entry.fields.modDate, entry.fields.modTime};
            if (file.directory || orderOf(dosDateTimeFromTime(file.modified)) <= orderOf(stored))
                continue;
        }
        // The new data keeps the entry's comment, as with zip.
        m_sourceComments[i] = m_archive.entries[item.index].comment;
        item = OutputItem{true, i};
    }
    return EngineResult::Ok;
}

void ZipOperation::measureWork()
{
    // Progress counts the bytes read: each new file's, and each copied entry's whole record.
    for (const OutputItem& item : m_output)
        m_totalBytes += item.fromDisk ? m_sources[item.index].size : m_archive.entries[item.index].recordSize;
}

bool ZipOperation::progress(const std::string& text, uint64_t doneInItem)
{
    return m_reporter.status(text, percentOf(m_doneBytes + doneInItem, m_totalBytes));
}

uint16_t ZipOperation::build()
{
    std::string error;
    std::string directory = temporaryDirectory();
    // The new archive is renamed into place, which works only within one file system.
    struct stat temporaryStatus {
    }, archiveDirectoryStatus{};
    const size_t slash = m_archivePath.rfind('/');
    const std::string archiveDirectory =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : m_archivePath.substr(0, slash));
    if (stat(directory.c_str(), &temporaryStatus) == 0 &&
        stat(archiveDirectory.c_str(), &archiveDirectoryStatus) == 0 &&
        temporaryStatus.st_dev != archiveDirectoryStatus.st_dev)
        directory = archiveDirectory;
    if (!m_temporary.create(directory, error))
        return fail(EngineResult::CannotCreate, error + ". " + unchanged());

    std::optional<FileByteSource> source;
    if (m_archiveExists && !m_archive.entries.empty()) {
        auto opened = FileByteSource::open(m_archivePath);
        if (!opened.ok())
            return fail(EngineResult::CannotOpenArchive,
                        "Cannot open " + m_archivePath + ": " + opened.error().message + ". " + unchanged());
        source.emplace(std::move(opened.value()));
    }
    // Whatever stands before the first entry (a self-extractor's program) is kept, whatever the
    // archive is called; the entries then start where they stood, and every position written is
    // counted from the start of the file.
    if (m_archive.prefixSize > 0) {
        auto opened = FileByteSource::open(m_archivePath);
        if (!opened.ok())
            return fail(EngineResult::CannotOpenArchive,
                        "Cannot open " + m_archivePath + ": " + opened.error().message + ". " + unchanged());
        std::vector<uint8_t> prefix;
        if (!readExactly(opened.value(), 0, static_cast<size_t>(m_archive.prefixSize), prefix))
            return fail(EngineResult::CannotOpenArchive, "Cannot read " + m_archivePath + ". " + unchanged());
        if (!m_temporary.write(prefix))
            return writeFailure();
    }

    PendingJobs jobs;
    const unsigned cores = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
    jobs.pool = std::make_unique<CompressionPool>(cores, m_encoding);
    size_t nextToQueue = 0;
    for (size_t position = 0; position < m_output.size(); ++position) {
        // Keep the workers busy with the files that come next, within the read-ahead budget.
        nextToQueue = std::max(nextToQueue, position);
        while (nextToQueue < m_output.size() && (jobs.bytesAhead < readAheadBudget || jobs.jobs.empty())) {
            const OutputItem& ahead = m_output[nextToQueue];
            if (ahead.fromDisk) {
                const SourceFile& file = m_sources[ahead.index];
                if (!file.directory && file.size <= m_limits.wholeFileLimit) {
                    jobs.jobs[ahead.index] = jobs.pool->submit(file.diskPath, file.size);
                    jobs.bytesAhead += file.size;
                }
            }
            ++nextToQueue;
        }
        const OutputItem& item = m_output[position];
        const uint16_t result = item.fromDisk ? writeNewEntry(m_sources[item.index], jobs)
                                              : writeCopiedEntry(m_archive.entries[item.index], *source);
        if (result != EngineResult::Ok)
            return result;
    }
    return finishArchive();
}

uint16_t ZipOperation::writeFailure()
{
    if (m_temporary.diskFull())
        return fail(EngineResult::WriteError,
                    "The disk is full: the new archive could not be written. " + unchanged());
    return fail(EngineResult::WriteError,
                "Writing the new archive failed (" + m_temporary.writeError() + "). " + unchanged());
}

uint16_t ZipOperation::writeCopiedEntry(const ExistingEntry& entry, ByteSource& source)
{
    const std::string text = "Copying: " + entry.name;
    if (!progress(text, 0))
        return EngineResult::Cancelled;
    const uint64_t newOffset = m_temporary.position();
    std::vector<uint8_t> block;
    for (uint64_t done = 0; done < entry.recordSize;) {
        const size_t size = static_cast<size_t>(std::min<uint64_t>(copyBlockSize, entry.recordSize - done));
        if (!readExactly(source, entry.localOffset + done, size, block))
            return fail(EngineResult::CannotOpenArchive, "Cannot read " + m_archivePath + ". " + unchanged());
        if (!m_temporary.write(block))
            return writeFailure();
        done += size;
        if (!progress(text, done))
            return EngineResult::Cancelled;
    }
    m_doneBytes += entry.recordSize;
    m_central.push_back(copiedRecordOf(entry, newOffset));
    return EngineResult::Ok;
}

uint16_t ZipOperation::writeNewEntry(const SourceFile& file, PendingJobs& jobs)
{
    const bool stores = file.directory || m_encoding.deflateLevel == 0;
    const std::string text = (stores ? "Storing: " : "Deflating: ") + file.storedName;
    if (!progress(text, 0))
        return EngineResult::Cancelled;
    m_reporter.log((stores ? "Storing: " : "Deflating: ") + file.diskPath + " as " + file.storedName);
    if (file.directory) {
        EncodedData empty;
        return writeEncoded(file, empty);
    }
    const auto found = jobs.jobs.find(static_cast<size_t>(&file - m_sources.data()));
    if (found == jobs.jobs.end())
        return writeStreamed(file);
    const std::shared_ptr<CompressionPool::Job> job = found->second;
    if (!jobs.pool->wait(*job, [&] { return m_reporter.keepAlive(); }))
        return EngineResult::Cancelled;
    jobs.jobs.erase(found);
    jobs.bytesAhead -= job->size;
    if (!job->ok)
        return fail(EngineResult::ReadError, job->error + " " + unchanged());
    const uint16_t result = writeEncoded(file, job->data);
    m_doneBytes += file.size;
    return result;
}

uint16_t ZipOperation::writeEncoded(const SourceFile& file, const EncodedData& data)
{
    const DosDateTime stamp = dosDateTimeFromTime(file.modified);
    const bool utf8 = !isPlainAscii(file.storedName) && isValidUtf8(file.storedName);
    LocalHeaderFields local;
    local.versionNeeded = versionNeededFor(data, file.directory);
    local.flags = static_cast<uint16_t>(data.flags | (utf8 ? zipformat::flag::Utf8Names : 0));
    local.method = data.method;
    local.modTime = stamp.time;
    local.modDate = stamp.date;
    local.crc32 = data.crc32;
    // Whole files are small enough for the 32-bit fields; only their position may need ZIP64.
    local.compressedSize = static_cast<uint32_t>(data.payload.size());
    local.uncompressedSize = static_cast<uint32_t>(data.uncompressedSize);

    const uint64_t offset = m_temporary.position();
    std::vector<uint8_t> header;
    appendLocalHeader(header, local, file.storedName, data.extra);
    if (!m_temporary.write(header) || !m_temporary.write(data.payload))
        return writeFailure();

    m_central.push_back(centralRecordFor(file, local, data, data.payload.size(), offset));
    m_central.back().comment = m_sourceComments[static_cast<size_t>(&file - m_sources.data())];
    return EngineResult::Ok;
}

uint16_t ZipOperation::writeStreamed(const SourceFile& file)
{
    const std::string text = (m_encoding.deflateLevel ? "Deflating: " : "Storing: ") + file.storedName;
    const DosDateTime stamp = dosDateTimeFromTime(file.modified);
    const uint64_t offset = m_temporary.position();
    // A placeholder header of the final size; it is written again once sizes and CRC are known.
    // The sizes are known to be at most the file's (a file that grows fails, and deflate that does
    // not shrink is replaced by storing) plus what encryption adds, so room for a ZIP64 extra field
    // is made exactly when that could reach 4 GiB.
    const bool zip64 = valueNeedsZip64(file.size + encryptionOverhead());
    const std::string zip64Placeholder = zip64 ? makeZip64ExtraBlock({0, 0, std::nullopt}) : "";
    const std::string extra = m_encoding.encrypt && m_encoding.aes ? AesEntryEncryption::extraField(0) : "";
    std::vector<uint8_t> header;
    appendLocalHeader(header, LocalHeaderFields{}, file.storedName, zip64Placeholder + extra);
    if (!m_temporary.write(header))
        return writeFailure();

    EncodedData data;
    std::string error;
    const StreamOutcome outcome = streamEncodeFile(file.diskPath, file.size, m_encoding, stamp.time, m_limits.chunkSize, m_temporary,
                                                   [&](uint64_t done) { return progress(text, done); }, data, error);
    switch (outcome) {
    case StreamOutcome::Cancelled:
        return EngineResult::Cancelled;
    case StreamOutcome::ReadFailed:
        return fail(EngineResult::ReadError, error + " " + unchanged());
    case StreamOutcome::WriteFailed:
        return writeFailure();
    case StreamOutcome::Done:
        break;
    }
    const uint64_t compressedSize = m_temporary.position() - offset - header.size();
    const bool descriptor = data.flags & zipformat::flag::DataDescriptor;
    const bool utf8 = !isPlainAscii(file.storedName) && isValidUtf8(file.storedName);
    LocalHeaderFields local;
    local.versionNeeded = std::max(zipformat::version::Deflate, versionNeededFor(data, false));
    if (zip64)
        local.versionNeeded = std::max(local.versionNeeded, zipformat::version::Zip64);
    local.flags = static_cast<uint16_t>(data.flags | (utf8 ? zipformat::flag::Utf8Names : 0));
    local.method = data.method;
    local.modTime = stamp.time;
    local.modDate = stamp.date;
    if (!descriptor)
        local.crc32 = data.crc32;
    std::string localZip64;
    if (zip64) {
        // The local ZIP64 field holds both sizes, zero when a data descriptor carries them.
        local.compressedSize = local.uncompressedSize = zipformat::Max32;
        localZip64 = makeZip64ExtraBlock({descriptor ? 0 : data.uncompressedSize,
                                          descriptor ? 0 : compressedSize, std::nullopt});
    } else if (!descriptor) {
        local.compressedSize = static_cast<uint32_t>(compressedSize);
        local.uncompressedSize = static_cast<uint32_t>(data.uncompressedSize);
    }
    header.clear();
    appendLocalHeader(header, local, file.storedName, localZip64 + data.extra);
    if (!m_temporary.writeAt(offset, header))
        return writeFailure();
    if (descriptor) {
        // After a local ZIP64 field readers expect the descriptor's 8-byte sizes.
        std::vector<uint8_t> trailer;
        if (zip64)
            appendZip64DataDescriptor(trailer, data.crc32, compressedSize, data.uncompressedSize);
        else
            appendDataDescriptor(trailer, data.crc32, static_cast<uint32_t>(compressedSize),
                                 static_cast<uint32_t>(data.uncompressedSize));
        if (!m_temporary.write(trailer))
            return writeFailure();
    }
    m_doneBytes += file.size;

    m_central.push_back(centralRecordFor(file, local, data, compressedSize, offset));
    m_central.back().comment = m_sourceComments[static_cast<size_t>(&file - m_sources.data())];
    return EngineResult::Ok;
}

uint64_t ZipOperation::encryptionOverhead() const
{
    if (!m_encoding.encrypt)
        return 0;
    return m_encoding.aes ? AesEntryEncryption::overhead() : zipformat::EncryptionHeaderSize;
}

uint16_t ZipOperation::finishArchive()
{
    if (!progress("Writing the directory", 0))
        return EngineResult::Cancelled;
    const uint64_t directoryOffset = m_temporary.position();
    std::vector<uint8_t> directory;
    for (const CentralRecord& record : m_central) {
        if (centralRecordTooLong(record))
            return fail(EngineResult::BadArgument,
                        "The entry " + record.name + " has a name, comment or extra field too long for an archive. " +
                            unchanged());
        appendCentralRecord(directory, record);
    }
    const uint64_t directorySize = directory.size();
    appendDirectoryEnd(directory, m_central.size(), directorySize, directoryOffset, directoryOffset + directorySize,
                       versionMadeBy, m_newComment);
    if (!m_temporary.write(directory))
        return writeFailure();
    // The last chance to stop: after the rename the change is made.
    if (!m_reporter.status("Writing the directory", 100))
        return EngineResult::Cancelled;
    std::string error;
    if (!m_temporary.commit(m_archivePath, m_archiveMode, error))
        return fail(m_temporary.diskFull() ? EngineResult::WriteError : EngineResult::CannotCreate,
                    error + ". " + unchanged());
    return EngineResult::Ok;
}

void ZipOperation::applyOldAsLatest()
{
    if (!m_command.oldAsLatest || m_central.empty())
        return;
    uint32_t newest = 0;
    DosDateTime newestStamp;
    for (const CentralRecord& record : m_central) {
        const DosDateTime stamp{record.fields.modDate, record.fields.modTime};
        if (orderOf(stamp) >= newest) {
            newest = orderOf(stamp);
            newestStamp = stamp;
        }
    }
    const std::time_t time = timeFromDosDateTime(newestStamp);
    struct timespec times[2] = {{time, 0}, {time, 0}};
    utimensat(AT_FDCWD, m_archivePath.c_str(), times, 0);
}

void ZipOperation::removeMovedSources()
{
    std::vector<std::string> directories;
    for (const OutputItem& item : m_output) {
        if (!item.fromDisk)
            continue;
        const SourceFile& file = m_sources[item.index];
        if (file.directory) {
            directories.push_back(file.diskPath);
        } else if (unlink(file.diskPath.c_str()) != 0) {
            m_entriesSkipped = true;
            m_reporter.message("Cannot remove " + file.diskPath + ": " + std::strerror(errno));
        }
    }
    // Deepest first, so a directory is empty by the time its turn comes; one that is not stays.
    std::sort(directories.begin(), directories.end(), std::greater<>());
    for (const std::string& directory : directories)
        rmdir(directory.c_str());
}

} // namespace quarvo
