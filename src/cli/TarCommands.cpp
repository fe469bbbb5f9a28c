#include "cli/TarCommands.h"

#include "core/zip/ZipNames.h"
#include "engines/api/EngineResult.h"
#include "engines/api/StreamRequest.h"
#include "engines/api/UntarCommand.h"

#include <array>
#include <cinttypes>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

namespace quarvo::cli {

namespace {

constexpr size_t OutputChunk = 64 * 1024;
// Decodes as UTF-8 the way flag bit 11 of a ZIP name asks, which is what a TAR name is read as.
constexpr uint16_t Utf8Flag = 0x0800;

constexpr std::string_view TableHeader = "Mode             Size Date       Time  Name\n"
                                         "---------- ---------- ---------- ----- ----\n";
constexpr std::string_view TableRule = "---------- ----------                  ----\n";

std::string shown(const char* storedName)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(storedName);
    return escapeControlCharacters(decodeArchiveText({bytes, std::strlen(storedName)}, Utf8Flag));
}

uint16_t withWarnings(uint16_t result, uint32_t warnings)
{
    return result == EngineResult::Ok && warnings > 0 ? EngineResult::Warning : result;
}

// "drwxr-xr-x" as ls writes it; a hard link shows "h" where ls shows the type of what it names.
std::string modeText(uint32_t mode, uint32_t type)
{
    constexpr std::array<char, 8> Types = {'-', 'd', 'l', 'h', 'c', 'b', 'p', 's'};
    std::string text(10, '-');
    text[0] = type < Types.size() ? Types[type] : '?';
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) {
        if (mode & (0400u >> bit))
            text[1 + bit] = letters[bit];
    }
    if (mode & S_ISUID)
        text[3] = text[3] == 'x' ? 's' : 'S';
    if (mode & S_ISGID)
        text[6] = text[6] == 'x' ? 's' : 'S';
    if (mode & S_ISVTX)
        text[9] = text[9] == 'x' ? 't' : 'T';
    return text;
}

std::string dateText(int64_t seconds)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M", &local);
    return text.data();
}

// Where the listing goes while the engine reads, in chunks, with the totals of the table.
struct ListingOutput {
    std::FILE* out = nullptr;
    bool verbose = false;
    std::string text;
    uint64_t totalSize = 0;
    uint64_t count = 0;

    void add(const TarEntryRecord& entry)
    {
        ++count;
        totalSize += entry.size;
        if (verbose) {
            std::array<char, 64> row{};
            std::snprintf(row.data(), row.size(), "%s %10" PRIu64 " %s ",
                          modeText(entry.mode, entry.type).c_str(), entry.size,
                          dateText(entry.modificationTime).c_str());
            text += row.data();
        }
        text += shown(entry.name);
        if (verbose && *entry.secondName)
            text += (entry.type == TarEntryType::HardLink ? " link to " : " -> ") + shown(entry.secondName);
        text += '\n';
        if (text.size() >= OutputChunk)
            flush();
    }
    void flush()
    {
        std::fwrite(text.data(), 1, text.size(), out);
        text.clear();
    }
    static int onEntry(const TarEntryRecord* entry, void* data)
    {
        static_cast<ListingOutput*>(data)->add(*entry);
        return 0;
    }
};

// A path that fits the request's fields, or an error said on the reporter.
bool putPath(char (&field)[StreamPathSize], const std::string& path, ConsoleReporter& reporter)
{
    if (path.size() >= StreamPathSize) {
        reporter.line("quarvo-cli: the path is too long: " + escapeControlCharacters(path));
        return false;
    }
    std::memcpy(field, path.c_str(), path.size() + 1);
    return true;
}

uint16_t runStream(const CliRequest& request, uint32_t function, ConsoleReporter& reporter,
                   StreamRequest& stream)
{
    stream.function = function;
    if (!putPath(stream.inputPath, request.archive, reporter) ||
        !putPath(stream.workDirectory, request.destination, reporter))
        return EngineResult::BadArgument;
    stream.existingOutput = request.overwrite ? StreamExisting::Replace : StreamExisting::Refuse;
    reportTo(stream, reporter);
    const uint32_t result = untarStream(&stream);
    if (function != StreamFunction::Identify && result != EngineResult::Ok && *stream.message)
        reporter.line(stream.message);
    return static_cast<uint16_t>(result);
}

uint16_t listStream(const CliRequest& request, std::FILE* out, ConsoleReporter& reporter)
{
    StreamRequest identify;
    runStream(request, StreamFunction::Identify, reporter, identify);
    if (!*identify.outputPath) {
        // Its first bytes name a compressed kind, but they cannot be unpacked.
        reporter.line(identify.message);
        return EngineResult::CrcError;
    }
    const std::string name = escapeControlCharacters(identify.outputPath);
    if (!request.verbose) {
        std::fprintf(out, "%s\n", name.c_str());
        return EngineResult::Ok;
    }
    // The size is known only once the whole stream is unpacked, which also checks it.
    StreamRequest test;
    const uint16_t result = runStream(request, StreamFunction::Test, reporter, test);
    if (result != EngineResult::Ok)
        return result;
    struct stat status {};
    const int64_t time = ::stat(request.archive.c_str(), &status) == 0 ? status.st_mtime : 0;
    std::fprintf(out, "%s%s %10" PRIu64 " %s %s\n%s%21" PRIu64 "%18s1 entry\n", TableHeader.data(),
                 modeText(status.st_mode, TarEntryType::File).c_str(), test.unpackedSize,
                 dateText(time).c_str(), name.c_str(), TableRule.data(), test.unpackedSize, "");
    return withWarnings(EngineResult::Ok, test.warnings);
}

} // namespace

ArchiveKind detectArchiveKind(const std::string& path)
{
    StreamRequest identify;
    if (path.size() >= StreamPathSize)
        return ArchiveKind::Zip;
    std::memcpy(identify.inputPath, path.c_str(), path.size() + 1);
    identify.function = StreamFunction::Identify;
    const uint32_t type = untarStream(&identify);
    if (identify.holdsTar)
        return ArchiveKind::Tar;
    return type == StreamType::Plain ? ArchiveKind::Zip : ArchiveKind::CompressedStream;
}

uint16_t runTarList(const CliRequest& request, ArchiveKind kind, std::FILE* out, ConsoleReporter& reporter)
{
    if (kind == ArchiveKind::CompressedStream)
        return listStream(request, out, reporter);
    ListingOutput listing;
    listing.out = out;
    listing.verbose = request.verbose;
    if (request.verbose)
        listing.text += TableHeader;
    UntarCommand command;
    command.function = UntarFunction::Open;
    command.archivePath = request.archive.c_str();
    command.listing = 0; // each entry is printed as it is read; nothing is kept
    command.entryCallback = ListingOutput::onEntry;
    command.entryCallbackData = &listing;
    reportTo(command, reporter);
    const uint16_t result = untar(&command);
    const uint32_t warnings = command.warnings;
    if (command.handle != -1) {
        command.function = UntarFunction::Close;
        untar(&command);
    }
    if (request.verbose && result == EngineResult::Ok) {
        std::array<char, 96> totals{};
        std::snprintf(totals.data(), totals.size(), "%21" PRIu64 "%18s%" PRIu64 " %s\n", listing.totalSize,
                      "", listing.count, listing.count == 1 ? "entry" : "entries");
        listing.text += std::string(TableRule) + totals.data();
    }
    listing.flush();
    if (result == EngineResult::Ok && listing.count == 0)
        reporter.line("quarvo-cli: " + escapeControlCharacters(request.archive) + " holds no entries");
    if (std::fflush(out) != 0)
        return EngineResult::WriteError;
    return withWarnings(result, warnings);
}

uint16_t runTarCommand(const CliRequest& request, ArchiveKind kind, ConsoleReporter& reporter)
{
    const bool test = request.command == CliCommand::Test;
    if (kind == ArchiveKind::CompressedStream) {
        StreamRequest stream;
        const uint16_t result =
            runStream(request, test ? StreamFunction::Test : StreamFunction::Unpack, reporter, stream);
        if (result == EngineResult::Ok)
            reporter.line(test ? "No errors detected in the unpacked data (" +
                                     std::to_string(stream.unpackedSize) + " bytes)."
                               : "Unpacked " + escapeControlCharacters(stream.outputPath) + ".");
        return withWarnings(result, stream.warnings);
    }
    const std::string itemSpecification = itemSpecificationOf(request.names);
    UntarCommand command;
    command.function = UntarFunction::Extract;
    command.archivePath = request.archive.c_str();
    command.itemSpecification = itemSpecification.c_str();
    command.destinationDirectory = request.destination.c_str();
    command.testOnly = test;
    command.overwrite = request.overwrite;
    command.noDirectoryNames = request.noDirectoryNames;
    command.reserved60 = 1;
    reportTo(command, reporter);
    const uint16_t result = untar(&command);
    return withWarnings(result, command.warnings);
}

} // namespace quarvo::cli
