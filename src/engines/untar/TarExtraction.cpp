#include "engines/untar/TarExtraction.h"

#include "core/zip/ZipNames.h"
#include "engines/api/EngineResult.h"
#include "engines/common/DeferredEntries.h"
#include "engines/common/Destination.h"
#include "engines/common/EntryPath.h"
#include "engines/common/ExistingFile.h"
#include "engines/common/ItemSelector.h"
#include "engines/untar/ArchivePass.h"
#include "engines/untar/LineEndConverter.h"
#include "engines/untar/TarListing.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

namespace quarvo {

namespace {

// A TAR name is a Unix path: "\" and "C:" are ordinary characters in it.
constexpr EntryNameRules TarNameRules{.backslashIsSeparator = false, .refuseDrivePrefix = false};
// Permission bits only: set-user-ID, set-group-ID and sticky are never restored.
constexpr mode_t PermissionBits = 0777;

std::string joined(const std::vector<std::string>& components)
{
    std::string path;
    for (const std::string& component : components)
        path += (path.empty() ? "" : "/") + component;
    return path;
}

class Extraction {
  public:
    Extraction(const UntarCommand& command, OpenTarArchive* open, EngineReporter& reporter)
        : m_command(command), m_open(open), m_reporter(reporter),
          m_path(open                  ? open->path
                 : command.archivePath ? command.archivePath
                                       : ""),
          m_selector(command.itemSpecification ? command.itemSpecification : "*.*",
                     command.recursePathInformation != 0)
    {
    }

    uint16_t run();
    uint32_t warnings() const { return m_warnings; }

  private:
    uint16_t checkCommand();
    // Which entries are wanted, by index; false when the names could not be read (reported).
    bool selectEntries();
    void processEntry(const TarHeader& header);
    void testEntry(const TarHeader& header, const std::string& shown, const Result<EntryPath>& path);
    void extractEntry(const TarHeader& header, const std::string& shown, std::vector<std::string> components,
                      bool isDirectory);
    uint16_t writeFile(const TarHeader& header, const std::string& shown,
                       const std::vector<std::string>& components);
    // Whether an entry may be written over what is on disk under components; reports a refusal.
    bool mayReplace(const TarHeader& header, const std::string& shown,
                    const std::vector<std::string>& components, uint16_t& code);
    uint16_t readDataAndCount(const std::string& shown);
    void reportUnmatched();
    void finishLinksAndDirectories();
    void summarize();

    uint16_t fail(uint16_t code, const std::string& text)
    {
        m_reporter.message(text);
        return code;
    }
    void record(uint16_t code)
    {
        if (code == EngineResult::Ok)
            return;
        if (code != EngineResult::Cancelled)
            ++m_failed;
        if (code == EngineResult::Cancelled || m_result == EngineResult::Ok)
            m_result = code;
    }
    std::string statusText(const std::string& shown) const
    {
        return (m_command.testOnly ? "Testing: " : "Extracting: ") + shown;
    }
    void tellWritten(const std::vector<std::string>& components, const std::string& storedName)
    {
        if (m_command.entryPathCallback)
            m_command.entryPathCallback(joined(components).c_str(), storedName.c_str(),
                                        m_command.entryPathCallbackData);
    }

    const UntarCommand& m_command;
    OpenTarArchive* m_open;
    EngineReporter& m_reporter;
    std::string m_path;
    ItemSelector m_selector;
    std::unique_ptr<ArchivePass> m_pass;
    std::optional<Destination> m_destination;
    DeferredEntries m_deferred;

    // The names the selection was made from (empty when every entry is wanted) and its outcome.
    std::vector<std::string> m_names;
    ItemSelector::Selection m_selection;
    uint64_t m_index = 0;
    // Files this run made, by device and inode: a later entry of the same name (tar -r and -u append
    // newer versions) replaces them as tar does, where a file that was there before is kept unless
    // overwrite is set.
    std::set<std::pair<dev_t, ino_t>> m_made;
    // A failure that ends the pass (the archive is truncated or its data damaged).
    bool m_passBroken = false;

    uint16_t m_result = EngineResult::Ok;
    size_t m_processed = 0;
    size_t m_failed = 0;
    uint32_t m_warnings = 0;
};

uint16_t Extraction::checkCommand()
{
    if (m_path.empty())
        return fail(EngineResult::BadArgument, "No archive was named.");
    if (!m_command.testOnly && (!m_command.destinationDirectory || !*m_command.destinationDirectory))
        return fail(EngineResult::BadArgument, "No destination directory was given.");
    return EngineResult::Ok;
}

bool Extraction::selectEntries()
{
    if (m_selector.selectsEveryEntry())
        return true;
    if (m_open && m_open->kept) {
        for (const TarHeader& header : m_open->entries)
            m_names.push_back(header.name);
    } else {
        // Without a directory at hand the names are read first, in a pass of their own.
        TarListing listing;
        const uint16_t code = readTarListing(m_path, true, nullptr, nullptr, m_reporter, listing);
        if (code != EngineResult::Ok) {
            record(code);
            return false;
        }
        for (TarHeader& header : listing.entries)
            m_names.push_back(std::move(header.name));
    }
    const std::vector<std::string_view> views(m_names.begin(), m_names.end());
    m_selection = m_selector.select(views);
    return true;
}

uint16_t Extraction::run()
{
    if (uint16_t code = checkCommand(); code != EngineResult::Ok)
        return code;
    m_reporter.log(std::string(m_command.testOnly ? "Testing " : "Extracting from ") + m_path);
    if (!selectEntries())
        return m_result;
    const bool someChosen = m_names.empty() || std::find(m_selection.chosen.begin(), m_selection.chosen.end(),
                                                         true) != m_selection.chosen.end();
    if (!m_selector.selectsEveryEntry() && !m_names.empty() && !someChosen)
        return fail(EngineResult::NothingToDo, "No entry of the archive matches the names given.");

    Result<std::unique_ptr<ArchivePass>, PassFailure> pass = ArchivePass::open(m_path, m_reporter);
    if (!pass)
        return fail(pass.error().code, pass.error().message);
    m_pass = std::move(pass).value();
    if (!m_command.testOnly) {
        Result<Destination> destination = Destination::open(m_command.destinationDirectory);
        if (!destination)
            return fail(EngineResult::CannotCreate,
                        "Cannot open the destination directory " +
                            escapeControlCharacters(m_command.destinationDirectory) + ": " +
                            destination.error().message + ".");
        m_destination.emplace(std::move(destination).value());
    }

    while (!m_passBroken && !m_reporter.stopped()) {
        Result<std::optional<TarHeader>, PassFailure> header = m_pass->next();
        if (!header) {
            record(fail(header.error().code, header.error().message));
            m_passBroken = true;
            break;
        }
        if (!header.value())
            break;
        processEntry(**header);
        ++m_index;
    }
    if (!m_passBroken && !m_reporter.stopped()) {
        if (std::optional<PassFailure> failure = m_pass->finish())
            record(fail(failure->code, failure->message));
    }
    m_warnings += m_pass->warnings();
    if (m_pass->damagedHeaders() > 0)
        record(EngineResult::BadArchive);
    finishLinksAndDirectories();
    if (m_reporter.stopped())
        return EngineResult::Cancelled;
    reportUnmatched();
    summarize();
    return m_reporter.stopped() ? EngineResult::Cancelled : m_result;
}

void Extraction::processEntry(const TarHeader& header)
{
    if (!m_names.empty()) {
        // The names were read in an earlier pass; the archive must still hold the same entries.
        if (m_index >= m_names.size() || m_names[m_index] != header.name) {
            record(fail(EngineResult::BadArchive,
                        m_pass->shownArchive() + " changed while it was being read; nothing more was done."));
            m_passBroken = true;
            return;
        }
        if (!m_selection.chosen[m_index])
            return;
    }
    const std::string shown = shownEntryName(header.name);
    ++m_processed;
    if (!m_reporter.status(statusText(shown), m_pass->percent())) {
        record(EngineResult::Cancelled);
        return;
    }
    Result<EntryPath> path = splitEntryPath(header.name, header.name, TarNameRules);
    if (m_command.testOnly)
        return testEntry(header, shown, path);
    if (!path)
        return record(fail(EngineResult::EntriesSkipped, "Refused " + shown + ": " + path.error().message +
                                                             "; nothing was written for it."));
    extractEntry(header, shown, path->components, path->isDirectory);
}

void Extraction::testEntry(const TarHeader& header, const std::string& shown, const Result<EntryPath>& path)
{
    // A test reads every entry's data; a name or link that extraction would refuse is a problem of
    // its own, told apart from the data's.
    uint16_t nameCode = EngineResult::Ok;
    if (!path) {
        nameCode = fail(EngineResult::EntriesSkipped, "Unsafe name " + shown + ": " + path.error().message +
                                                          "; extraction would refuse it.");
    } else if (header.type == TarEntryType::SymbolicLink &&
               !linkTargetStaysInside(path->components, header.linkTarget)) {
        nameCode = fail(EngineResult::EntriesSkipped, "Unsafe link " + shown + " -> " +
                                                          escapeControlCharacters(header.linkTarget) +
                                                          ": it points outside the destination directory; "
                                                          "extraction would refuse it.");
    } else if (header.type == TarEntryType::HardLink &&
               !splitEntryPath(header.linkTarget, header.linkTarget, TarNameRules)) {
        nameCode = fail(EngineResult::EntriesSkipped, "Unsafe link " + shown + " -> " +
                                                          escapeControlCharacters(header.linkTarget) +
                                                          ": it points outside the destination directory; "
                                                          "extraction would refuse it.");
    }
    const uint16_t dataCode = header.type == TarEntryType::File ? readDataAndCount(shown) : EngineResult::Ok;
    record(dataCode != EngineResult::Ok ? dataCode : nameCode);
}

uint16_t Extraction::readDataAndCount(const std::string& shown)
{
    const std::string status = statusText(shown);
    Result<bool, PassFailure> read = m_pass->readData(
        [&](uint64_t, std::span<const uint8_t>) { return m_reporter.status(status, m_pass->percent()); });
    if (!read) {
        m_passBroken = true;
        return fail(read.error().code, read.error().message);
    }
    return read.value() ? EngineResult::Cancelled : EngineResult::Ok;
}

void Extraction::extractEntry(const TarHeader& header, const std::string& shown,
                              std::vector<std::string> components, bool isDirectory)
{
    const bool junkPaths = m_command.noDirectoryNames != 0;
    uint16_t code = EngineResult::Ok;
    if (header.type == TarEntryType::Directory || isDirectory) {
        // "./" names the destination itself, which exists.
        if (junkPaths || components.empty())
            return;
        Result<Ok> made = m_destination->makeDirectories(components);
        if (!made)
            return record(fail(EngineResult::CannotCreate,
                               "Cannot create the directory " + shown + ": " + made.error().message + "."));
        m_deferred.addDirectory(shown, components, header.mode & PermissionBits, header.modificationTime);
        tellWritten(components, header.name);
        return;
    }
    if (junkPaths)
        components = {components.back()};
    switch (header.type) {
    case TarEntryType::File:
        return record(writeFile(header, shown, components));
    case TarEntryType::SymbolicLink:
        if (header.linkTarget.empty())
            return record(
                fail(EngineResult::EntriesSkipped, "Refused " + shown + ": the link has no target."));
        // Told at once, before anything on disk is looked at; the link is checked again when made.
        if (!linkTargetStaysInside(components, header.linkTarget))
            return record(fail(EngineResult::EntriesSkipped,
                               "Skipped link " + shown + " -> " + escapeControlCharacters(header.linkTarget) +
                                   ": it points outside the destination directory."));
        if (!mayReplace(header, shown, components, code))
            return record(code);
        m_deferred.addSymbolicLink(shown, components, header.linkTarget, header.name, header.modificationTime);
        return;
    case TarEntryType::HardLink: {
        Result<EntryPath> target = splitEntryPath(header.linkTarget, header.linkTarget, TarNameRules);
        if (!target || target->components.empty())
            return record(fail(EngineResult::EntriesSkipped,
                               "Skipped link " + shown + " -> " + escapeControlCharacters(header.linkTarget) +
                                   ": it points outside the destination directory."));
        if (!mayReplace(header, shown, components, code))
            return record(code);
        std::vector<std::string> targetComponents = target->components;
        if (junkPaths)
            targetComponents = {targetComponents.back()};
        m_deferred.addHardLink(shown, components, targetComponents, shownEntryName(header.linkTarget),
                               header.name);
        return;
    }
    default:
        return record(fail(EngineResult::EntriesSkipped,
                           "Skipped " + shown + ": device nodes, FIFOs and sockets are not extracted."));
    }
}

bool Extraction::mayReplace(const TarHeader& header, const std::string& shown,
                            const std::vector<std::string>& components, uint16_t& code)
{
    Result<std::optional<struct stat>> existing = m_destination->statusOf(components);
    if (!existing) {
        code = fail(EngineResult::CannotCreate,
                    "Cannot create " + shown + ": " + existing.error().message + ".");
        return false;
    }
    ReplaceRules rules{.overwrite = m_command.overwrite != 0,
                       .update = m_command.update != 0,
                       .freshen = m_command.freshen != 0};
    const std::optional<struct stat>& status = existing.value();
    if (status && m_made.contains({status->st_dev, status->st_ino}))
        rules = {.overwrite = true, .update = false, .freshen = false};
    ExistingFileDecision decision = decideOverExisting(status, rules, header.modificationTime.tv_sec, shown);
    if (decision.code != EngineResult::Ok)
        code = fail(decision.code, decision.message);
    else if (!decision.write)
        --m_processed; // update and freshen leave newer files alone without a word
    return decision.write;
}

uint16_t Extraction::writeFile(const TarHeader& header, const std::string& shown,
                               const std::vector<std::string>& components)
{
    uint16_t code = EngineResult::Ok;
    if (!mayReplace(header, shown, components, code))
        return code;
    Result<PendingFile> file = m_destination->createFile(components);
    if (!file)
        return fail(EngineResult::CannotCreate, "Cannot create " + shown + ": " + file.error().message + ".");
    const std::string status = statusText(shown);
    std::optional<LineEndConverter> converter;
    if (m_command.convertLineEnds)
        converter.emplace();
    uint64_t written = 0; // where the next byte goes without conversion; the end of data so far
    bool writeFailed = false;
    static const std::vector<uint8_t> zeros(64 * 1024, 0);
    Result<bool, PassFailure> read = m_pass->readData([&](uint64_t offset, std::span<const uint8_t> bytes) {
        if (converter) {
            // Converted data has no holes: a sparse file's holes are written out as zeros.
            for (; written < offset; written += std::min<uint64_t>(zeros.size(), offset - written)) {
                const size_t gap = static_cast<size_t>(std::min<uint64_t>(zeros.size(), offset - written));
                writeFailed = writeFailed || !file->write(converter->convert({zeros.data(), gap}));
            }
            writeFailed = writeFailed || !file->write(converter->convert(bytes));
        } else {
            writeFailed = !file->writeAt(offset, bytes);
        }
        written = offset + bytes.size();
        return !writeFailed && m_reporter.status(status, m_pass->percent());
    });
    if (!read) {
        m_passBroken = true;
        return fail(read.error().code, read.error().message + " No file was kept.");
    }
    if (writeFailed)
        return fail(EngineResult::WriteError,
                    shown + ": writing failed (the disk may be full). No file was kept.");
    if (read.value())
        return EngineResult::Cancelled;
    // A sparse file may end in a hole, which no block reaches.
    if (!converter && written < header.size && !file->resize(header.size))
        return fail(EngineResult::WriteError,
                    shown + ": writing failed (the disk may be full). No file was kept.");
    const std::optional<std::pair<dev_t, ino_t>> identity = file->identity();
    Result<Ok> committed = file->commit(header.mode & PermissionBits, header.modificationTime);
    if (!committed)
        return fail(EngineResult::CannotCreate,
                    "Cannot create " + shown + ": " + committed.error().message + ".");
    if (identity)
        m_made.insert(*identity);
    tellWritten(components, header.name);
    m_reporter.log("Extracted " + shown);
    return EngineResult::Ok;
}

void Extraction::finishLinksAndDirectories()
{
    if (!m_destination)
        return;
    m_deferred.finish(
        *m_destination, m_reporter, [this](uint16_t code) { record(code); },
        [this](const DeferredEntries::Link& link) { tellWritten(link.components, link.storedName); });
}

void Extraction::reportUnmatched()
{
    // Every name given that matched nothing is a miss the user should hear of, even when the others
    // were done: a mistyped name would otherwise pass for an extracted file.
    for (const std::string& item : m_selection.unmatched)
        m_reporter.message("No entry of the archive matches " + escapeControlCharacters(item) + ".");
    if (!m_selection.unmatched.empty())
        record(EngineResult::EntriesSkipped);
}

void Extraction::summarize()
{
    if (m_index == 0 && !m_passBroken) {
        m_reporter.message("The archive holds no entries.");
        return;
    }
    std::string summary = m_command.testOnly ? "Tested " : "Extracted ";
    summary += std::to_string(m_processed - std::min(m_failed, m_processed)) + " of " +
               std::to_string(m_processed) + " entries";
    summary += m_failed == 0 ? ": no errors" : "; " + std::to_string(m_failed) + " had problems";
    if (m_command.testOnly && m_failed == 0)
        summary = "No errors detected in " + std::to_string(m_processed) + " entries";
    if (!m_selection.unmatched.empty())
        summary += "; " + std::to_string(m_selection.unmatched.size()) +
                   (m_selection.unmatched.size() == 1 ? " name" : " names") + " matched no entry";
    m_reporter.message(summary + ".");
}

} // namespace

uint16_t runTarExtraction(const UntarCommand& command, OpenTarArchive* open, EngineReporter& reporter,
                          uint32_t& warnings)
{
    Extraction extraction(command, open, reporter);
    const uint16_t result = extraction.run();
    warnings += extraction.warnings();
    return result;
}

} // namespace quarvo
