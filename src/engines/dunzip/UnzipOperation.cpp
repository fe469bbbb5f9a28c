#include "engines/dunzip/UnzipOperation.h"

#include "core/text/DosDateTime.h"
#include "core/zip/ByteSource.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"
#include "engines/api/EngineResult.h"
#include "engines/common/DeferredEntries.h"
#include "engines/common/Destination.h"
#include "engines/common/EngineLog.h"
#include "engines/common/EngineReporter.h"
#include "engines/common/EntryPath.h"
#include "engines/common/ExistingFile.h"
#include "engines/common/ItemSelector.h"
#include "engines/dunzip/ArchiveIndex.h"
#include "engines/dunzip/EntryTask.h"
#include "engines/dunzip/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <memory>
#include <new>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace quarvo {

namespace {

namespace zf = zipformat;

// Link targets are paths; anything longer is not one.
constexpr uint32_t MaximumLinkTargetSize = 4096;
// Entries decided ahead of the one being reported: enough to keep every thread busy with small files,
// few enough that the open files and their buffers stay bounded.
constexpr size_t EntriesInFlightPerThread = 8;
// How often progress is told while a worker decodes the entry being reported.
constexpr auto ProgressInterval = std::chrono::milliseconds(10);
// While a worker decodes the entry being reported, the calling thread decodes later entries no
// larger than this rather than wait: they end soon enough for the progress to go on.
constexpr uint64_t HelpingLimit = 256 * 1024;
// The work of an entry beyond its bytes (creating, closing and renaming its file), in bytes' worth.
constexpr uint64_t WorkPerEntry = 64 * 1024;

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

// A path beneath the destination as one string, for telling entries that meet at one name apart.
std::string joinedPath(const std::vector<std::string>& components, size_t count)
{
    std::string joined;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0)
            joined += '/';
        joined += components[i];
    }
    return joined;
}

// One entry on its way through the run. It is decided ahead, in archive order, by the calling thread
// (its name, what is on disk, the directories and the temporary file it needs), its data is read by
// whichever thread gets to it first, and it is reported, in archive order again, by the calling
// thread, which alone calls back and puts files in place.
struct PlannedEntry {
    enum class Then { Nothing, CommitFile, AddLink, AddDirectory };

    const ArchiveEntry* entry = nullptr;
    std::string shown;
    std::string statusText;
    // What deciding found, told before anything its data says.
    std::vector<std::string> messages;
    uint16_t code = EngineResult::Ok;
    bool quietlySkipped = false; // update or freshen left the file on disk alone: not counted
    std::shared_ptr<EntryTask> task;
    Then then = Then::Nothing;
    std::vector<std::string> components;
    std::optional<mode_t> directoryMode;
    std::string pathInFlight; // the final name of a file not yet in place
    // Directories made for this entry, taken back when the run stops before it is reported.
    std::vector<std::vector<std::string>> createdDirectories;
    bool statusTold = false;
};

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
    ~Operation() { stopWorkers(); }

    uint16_t run();

  private:
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
    std::string statusText(const ArchiveEntry& entry, const std::string& shown) const;

    // Runs every selected entry through plan and report with a bounded number in flight. False
    // when the run was stopped.
    bool processEntries(const std::vector<const ArchiveEntry*>& selected);
    PlannedEntry plan(const ArchiveEntry& entry);
    void planExtraction(PlannedEntry& planned, const EntryPath& path);
    void planDirectory(PlannedEntry& planned);
    void planFile(PlannedEntry& planned);
    std::shared_ptr<EntryTask> newTask(PlannedEntry& planned);
    bool shouldExtract(PlannedEntry& planned);
    // Whether the entry's path is known to be free without asking the file system.
    bool foundNothingAt(const PlannedEntry& planned, const std::string& path) const;
    // Reports the entries in flight up to the first that meets a path of components, so that what
    // is on disk is decided after the entries before it are in place. False when the run stopped.
    bool settleEntriesAt(const std::vector<std::string>& components);
    // Reports the oldest entry in flight. False when the run stopped.
    bool reportOldest();
    void report(PlannedEntry& planned);
    EntryReadOutcome completeTask(PlannedEntry& planned);
    // Decodes the latest small entry in flight that no thread has taken yet. False when there is none.
    bool helpWithLaterEntry();
    // Waits up to the progress interval for a worker to finish task, the calling thread's core
    // lent to the workers meanwhile; true when the task is done.
    bool waitForWorker(EntryTask& task);
    void finishEntry(const PlannedEntry& planned, uint16_t code);
    // Stops every entry in flight and takes back what was made for those not yet reported.
    void abandonEntriesInFlight();
    void takeBack(PlannedEntry& planned);
    void stopWorkers();

    const UnzipCommand& m_command;
    EngineLog m_log;
    EngineReporter m_reporter;
    std::unique_ptr<FileByteSource> m_source;
    std::optional<Destination> m_destination;
    ArchiveIndex m_index;
    EntryReadSettings m_readSettings;
    uint16_t m_result = EngineResult::Ok;
    uint64_t m_totalBytes = 0;
    uint64_t m_doneBytes = 0;
    size_t m_processed = 0;
    size_t m_failed = 0;
    DeferredEntries m_deferred;
    std::unordered_set<std::string> m_seenNames;
    std::deque<PlannedEntry> m_inFlight;
    std::unordered_map<std::string, size_t> m_pathsInFlight;
    std::unordered_set<std::string> m_madeDirectories;
    std::unordered_set<std::string> m_filesUnderOtherNames;
    std::atomic<bool> m_cancelled{false};
    std::unique_ptr<WorkerPool> m_workers;
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
        m_destination->noteCreatedDirectories();
    }

    if (!processEntries(selected))
        return EngineResult::Cancelled;
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

bool Operation::processEntries(const std::vector<const ArchiveEntry*>& selected)
{
    m_readSettings = {.testOnly = m_command.testOnly != 0,
                      .decrypt = m_command.decrypt != 0,
                      .password = m_command.password,
                      .directoryStart = m_index.directory.start};
    const unsigned extraThreads = extraDecodingThreads();
    if (extraThreads > 0 && selected.size() > 1)
        m_workers = std::make_unique<WorkerPool>(extraThreads);
    // Alone, the calling thread decides each entry just before it reports it.
    const size_t mostInFlight = m_workers ? EntriesInFlightPerThread * (extraThreads + 1) : 1;
    for (const ArchiveEntry* entry : selected) {
        if (m_inFlight.size() >= mostInFlight && !reportOldest())
            return false;
        PlannedEntry planned = plan(*entry);
        if (m_reporter.stopped()) {
            takeBack(planned);
            abandonEntriesInFlight();
            return false;
        }
        if (planned.task && m_workers)
            m_workers->submit(planned.task, entry->compressedSize + WorkPerEntry);
        if (!planned.pathInFlight.empty())
            ++m_pathsInFlight[planned.pathInFlight];
        m_inFlight.push_back(std::move(planned));
    }
    while (!m_inFlight.empty()) {
        if (!reportOldest())
            return false;
    }
    stopWorkers();
    return true;
}

PlannedEntry Operation::plan(const ArchiveEntry& entry)
{
    PlannedEntry planned;
    planned.entry = &entry;
    planned.shown = escapeControlCharacters(entry.name);
    planned.statusText = statusText(entry, planned.shown);
    if (!m_seenNames.insert(entry.name).second) {
        if (!m_command.testOnly) {
            planned.code = EngineResult::EntriesSkipped;
            planned.messages.push_back("Skipped " + planned.shown +
                                       ": the archive holds more than one entry of that name; the "
                                       "first one was taken.");
            return planned;
        }
        planned.messages.push_back(planned.shown + " appears more than once in the archive.");
    }

    Result<EntryPath> path = splitEntryPath(entry.name, entry.storedName, nameRulesOf(entry));
    if (m_command.testOnly) {
        // A test checks the data of every entry, directories included; a name that extraction
        // would refuse is a problem of its own, told apart from the data's.
        if (!path) {
            planned.code = EngineResult::EntriesSkipped;
            planned.messages.push_back("Unsafe name " + planned.shown + ": " + path.error().message +
                                       "; extraction would refuse it.");
        }
        planned.task = newTask(planned);
        return planned;
    }
    if (!path) {
        planned.code = EngineResult::EntriesSkipped;
        planned.messages.push_back("Refused " + planned.shown + ": " + path.error().message +
                                   "; nothing was written for it.");
        return planned;
    }
    planExtraction(planned, path.value());
    planned.createdDirectories = m_destination->takeCreatedDirectories();
    for (const std::vector<std::string>& directory : planned.createdDirectories)
        m_madeDirectories.insert(joinedPath(directory, directory.size()));
    return planned;
}

void Operation::planExtraction(PlannedEntry& planned, const EntryPath& path)
{
    planned.components = path.components;
    if (path.isDirectory) {
        // "./" names the destination itself, which exists.
        if (m_command.noDirectoryNames || planned.components.empty())
            return;
        if (settleEntriesAt(planned.components))
            planDirectory(planned);
        return;
    }
    if (m_command.noDirectoryNames)
        planned.components = {planned.components.back()};
    if (settleEntriesAt(planned.components))
        planFile(planned);
}

void Operation::planDirectory(PlannedEntry& planned)
{
    Result<Ok> made = m_destination->makeDirectories(planned.components);
    if (!made) {
        planned.code = EngineResult::CannotCreate;
        planned.messages.push_back("Cannot create the directory " + planned.shown + ": " + made.error().message +
                                   ".");
        return;
    }
    // Nothing for a directory made on MS-DOS: its attributes have no search bit, so it keeps the
    // mode it was created with.
    planned.then = PlannedEntry::Then::AddDirectory;
    planned.directoryMode = unixPermissionsOf(*planned.entry);
}

void Operation::planFile(PlannedEntry& planned)
{
    const ArchiveEntry& entry = *planned.entry;
    if (!shouldExtract(planned))
        return;
    if (isSymbolicLink(entry)) {
        if (entry.uncompressedSize > MaximumLinkTargetSize) {
            planned.code = EngineResult::EntriesSkipped;
            planned.messages.push_back("Skipped link " + planned.shown + ": its target is too long.");
            return;
        }
        planned.task = newTask(planned);
        planned.task->keepInMemory();
        planned.then = PlannedEntry::Then::AddLink;
        return;
    }
    // The file itself is created by whichever thread decodes it.
    Result<PendingFile::SharedDirectory> directory = m_destination->directoryFor(planned.components);
    if (!directory) {
        planned.code = EngineResult::CannotCreate;
        planned.messages.push_back("Cannot create " + planned.shown + ": " + directory.error().message + ".");
        return;
    }
    planned.task = newTask(planned);
    planned.task->writeInto(std::move(directory).value(), planned.components.back(), permissionsOf(entry),
                            {modificationTimeOf(entry), 0});
    planned.then = PlannedEntry::Then::CommitFile;
    planned.pathInFlight = joinedPath(planned.components, planned.components.size());
}

std::shared_ptr<EntryTask> Operation::newTask(PlannedEntry& planned)
{
    return std::make_shared<EntryTask>(*m_source, *planned.entry, planned.shown, m_readSettings, m_cancelled);
}

bool Operation::foundNothingAt(const PlannedEntry& planned, const std::string& path) const
{
    // In a directory this run made, only this run put anything: directories, which it knows, and
    // the files of entries, which are all in place by now (settleEntriesAt) and each under its own
    // name, except those whose name is not their path ("./a", "a\\b", no directory names).
    const std::vector<std::string>& components = planned.components;
    return components.size() > 1 && m_madeDirectories.contains(joinedPath(components, components.size() - 1)) &&
           !m_madeDirectories.contains(path) && !m_filesUnderOtherNames.contains(path);
}

bool Operation::shouldExtract(PlannedEntry& planned)
{
    const std::string path = joinedPath(planned.components, planned.components.size());
    const bool underItsName = path == planned.entry->name;
    if (!underItsName)
        m_filesUnderOtherNames.insert(path);
    Result<std::optional<struct stat>> existing = underItsName && foundNothingAt(planned, path)
                                                      ? std::optional<struct stat>()
                                                      : m_destination->statusOf(planned.components);
    if (!existing) {
        planned.code = EngineResult::CannotCreate;
        planned.messages.push_back("Cannot create " + planned.shown + ": " + existing.error().message + ".");
        return false;
    }
    const ReplaceRules rules{.overwrite = m_command.overwrite != 0,
                             .update = m_command.update != 0,
                             .freshen = m_command.freshen != 0};
    ExistingFileDecision decision =
        decideOverExisting(existing.value(), rules, modificationTimeOf(*planned.entry), planned.shown);
    if (decision.code != EngineResult::Ok) {
        planned.code = decision.code;
        planned.messages.push_back(decision.message);
    } else if (!decision.write) {
        planned.quietlySkipped = true;
    }
    return decision.write;
}

bool Operation::settleEntriesAt(const std::vector<std::string>& components)
{
    // The file itself, or a directory on its way, may be a file still in flight: then the entries
    // before this one are reported (and that file put in place) first, so this entry finds on
    // disk what it would have found had they been done one by one.
    auto meets = [&] {
        for (size_t count = 1; count <= components.size(); ++count) {
            if (m_pathsInFlight.contains(joinedPath(components, count)))
                return true;
        }
        return false;
    };
    while (!m_pathsInFlight.empty() && meets()) {
        if (!reportOldest())
            return false;
    }
    return true;
}

bool Operation::reportOldest()
{
    PlannedEntry& oldest = m_inFlight.front();
    report(oldest);
    if (!oldest.pathInFlight.empty()) {
        auto found = m_pathsInFlight.find(oldest.pathInFlight);
        if (--found->second == 0)
            m_pathsInFlight.erase(found);
    }
    PlannedEntry reported = std::move(oldest);
    m_inFlight.pop_front();
    if (!m_reporter.stopped())
        return true;
    // The later entries first: their directories may lie inside this one's.
    abandonEntriesInFlight();
    takeBack(reported);
    return false;
}

void Operation::report(PlannedEntry& planned)
{
    if (!m_reporter.status(planned.statusText, percentOf(m_doneBytes, m_totalBytes)))
        return finishEntry(planned, EngineResult::Cancelled);
    planned.statusTold = true;
    for (const std::string& message : planned.messages)
        m_reporter.message(message);
    uint16_t code = planned.code;
    if (planned.task) {
        EntryReadOutcome outcome = completeTask(planned);
        for (const std::string& message : outcome.messages)
            m_reporter.message(message);
        uint16_t dataCode = outcome.code;
        if (dataCode == EngineResult::Ok && planned.then == PlannedEntry::Then::CommitFile) {
            Result<Ok> committed = planned.task->file()->commit();
            if (!committed)
                dataCode = fail(EngineResult::CannotCreate,
                                "Cannot create " + planned.shown + ": " + committed.error().message + ".");
            else
                m_reporter.log("Extracted " + planned.shown);
        }
        if (dataCode == EngineResult::Ok && planned.then == PlannedEntry::Then::AddLink)
            m_deferred.addSymbolicLink(planned.shown, planned.components, planned.task->bytes(), {},
                                       timespec{modificationTimeOf(*planned.entry), 0});
        // A test still reads the data of an entry whose name is refused; the data's problem, if
        // any, is the one recorded.
        code = dataCode != EngineResult::Ok || !m_command.testOnly ? dataCode : code;
        planned.task.reset();
    }
    if (code == EngineResult::Ok && planned.then == PlannedEntry::Then::AddDirectory)
        m_deferred.addDirectory(planned.shown, planned.components, planned.directoryMode,
                                {modificationTimeOf(*planned.entry), 0});
    finishEntry(planned, code);
}

EntryReadOutcome Operation::completeTask(PlannedEntry& planned)
{
    EntryTask& task = *planned.task;
    auto progress = [&](uint64_t bytesOut) {
        return m_reporter.status(planned.statusText, percentOf(m_doneBytes + bytesOut, m_totalBytes));
    };
    // A message may have stopped the run: the data is not read then.
    if (m_reporter.stopped()) {
        if (!task.claim())
            task.waitDone();
        return {.code = EngineResult::Cancelled, .messages = {}};
    }
    // The workers get to the later entries while this one is decoded or waited for.
    if (m_workers)
        m_workers->wake();
    if (task.claim()) {
        task.runHere(progress);
        return std::move(task.outcome());
    }
    while (!task.isDone()) {
        if (helpWithLaterEntry() ? task.isDone() : waitForWorker(task))
            break;
        if (!progress(task.bytesOut())) {
            m_cancelled = true;
            task.waitDone();
            return {.code = EngineResult::Cancelled, .messages = {}};
        }
    }
    if (task.ranOutOfMemory())
        throw std::bad_alloc();
    return std::move(task.outcome());
}

bool Operation::helpWithLaterEntry()
{
    // From the newest: the workers take the oldest first.
    for (auto later = m_inFlight.rbegin(); later != m_inFlight.rend(); ++later) {
        if (!later->task || later->entry->compressedSize > HelpingLimit ||
            later->entry->uncompressedSize > HelpingLimit)
            continue;
        if (later->task->claim()) {
            later->task->runQuietly();
            return true;
        }
    }
    return false;
}

bool Operation::waitForWorker(EntryTask& task)
{
    m_workers->callerWaits(true);
    const bool done = task.waitDone(ProgressInterval);
    m_workers->callerWaits(false);
    return done;
}

void Operation::finishEntry(const PlannedEntry& planned, uint16_t code)
{
    m_doneBytes += planned.entry->uncompressedSize;
    if (planned.quietlySkipped && code == EngineResult::Ok)
        return;
    ++m_processed;
    if (code != EngineResult::Ok && code != EngineResult::Cancelled)
        ++m_failed;
    record(code);
}

void Operation::abandonEntriesInFlight()
{
    m_cancelled = true;
    // Newest first: a directory made for a later entry may hold one made for an earlier one.
    while (!m_inFlight.empty()) {
        takeBack(m_inFlight.back());
        m_inFlight.pop_back();
    }
    m_pathsInFlight.clear();
    stopWorkers();
}

void Operation::takeBack(PlannedEntry& planned)
{
    if (planned.task) {
        m_cancelled = true;
        if (!planned.task->claim())
            planned.task->waitDone();
        // The temporary file goes before the directories that hold it.
        planned.task->file().reset();
        planned.task.reset();
    }
    // An entry whose status was told had begun as it would have alone, directories and all.
    if (planned.statusTold || !m_destination)
        return;
    for (auto directory = planned.createdDirectories.rbegin(); directory != planned.createdDirectories.rend();
         ++directory)
        m_destination->removeIfEmpty(*directory);
}

void Operation::stopWorkers()
{
    m_workers.reset();
}

} // namespace

uint16_t runUnzipOperation(const UnzipCommand& command)
{
    return Operation(command).run();
}

} // namespace quarvo
