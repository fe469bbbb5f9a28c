#include "cli/ListCommand.h"

#include "core/text/CompressionRatio.h"
#include "core/text/DosDateTime.h"
#include "core/ui/SilentUserInterface.h"
#include "core/zip/ByteSource.h"
#include "core/zip/DirectoryError.h"
#include "core/zip/ZipDirectoryReader.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipMethodNames.h"
#include "core/zip/ZipNames.h"
#include "engines/api/EngineResult.h"

#include <array>
#include <cinttypes>
#include <string>

namespace quarvo::cli {

namespace {

constexpr size_t OutputChunk = 64 * 1024;

constexpr std::string_view TableHeader =
    "      Size     Packed Ratio Method   Date       Time  CRC-32    Name\n"
    "---------- ---------- ----- -------- ---------- ----- --------  ----\n";
constexpr std::string_view TableRule =
    "---------- ---------- -----                                     ----\n";

std::string tableRow(const ZipEntry& entry)
{
    std::string method(compressionMethodName(entry.compressionMethod()));
    if (method.empty())
        method = "M" + std::to_string(entry.compressionMethod());
    // "+" marks AES encryption, "*" the traditional cipher (or AES whose field is unreadable).
    if (entry.aes)
        method += '+';
    else if (entry.isEncrypted())
        method += '*';
    const std::tm time = localTimeFromDosDateTime({entry.modDate, entry.modTime});
    std::array<char, 128> row{};
    std::snprintf(row.data(), row.size(),
                  "%10" PRIu64 " %10" PRIu64 " %4d%% %-8s %04d-%02d-%02d %02d:%02d %08" PRIx32 "  ",
                  entry.uncompressedSize, entry.compressedSize,
                  compressionRatio(entry.compressedSize, entry.uncompressedSize), method.c_str(),
                  time.tm_year + 1900, time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, entry.crc32);
    return row.data();
}

void writeTable(const ZipDirectoryReader& reader, std::string& out)
{
    out += TableHeader;
    uint64_t totalSize = 0;
    uint64_t totalPacked = 0;
    for (const std::unique_ptr<ZipEntry>& entry : reader.entries()) {
        out += tableRow(*entry) + escapeControlCharacters(entry->name) + "\n";
        totalSize += entry->uncompressedSize;
        totalPacked += entry->compressedSize;
    }
    out += TableRule;
    const size_t count = reader.entries().size();
    std::array<char, 128> totals{};
    std::snprintf(totals.data(), totals.size(), "%10" PRIu64 " %10" PRIu64 " %4d%%%37s%zu %s\n", totalSize,
                  totalPacked, compressionRatio(totalPacked, totalSize), "", count,
                  count == 1 ? "entry" : "entries");
    out += totals.data();
    const std::string& comment = reader.archive().archiveComment;
    if (!comment.empty())
        out += "Comment: " + escapeControlCharacters(comment) + "\n";
}

void write(std::FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
}

} // namespace

uint16_t runList(const CliRequest& request, std::FILE* out, std::FILE* err)
{
    if (Result<FileByteSource, OpenError> probe = FileByteSource::open(request.archive); !probe) {
        write(err, "quarvo-cli: cannot open " + escapeControlCharacters(request.archive) + ": " +
                       probe.error().message + "\n");
        return EngineResult::CannotOpenArchive;
    }
    SilentUserInterface ui;
    ZipDirectoryReader reader(ui, request.archive);
    const std::string name = escapeControlCharacters(request.archive);
    if (!reader.readDirectory()) {
        write(err, "quarvo-cli: " + name + ": " + describeDirectoryError(reader.error()) + "\n");
        return EngineResult::BadArchive;
    }
    // Said on standard error, so that the names on standard output stay names.
    if (reader.entries().empty())
        write(err, "quarvo-cli: " + name + " holds no entries\n");
    std::string text;
    if (request.verbose) {
        writeTable(reader, text);
    } else {
        for (const std::unique_ptr<ZipEntry>& entry : reader.entries()) {
            text += escapeControlCharacters(entry->name) + "\n";
            if (text.size() >= OutputChunk) {
                write(out, text);
                text.clear();
            }
        }
    }
    write(out, text);
    return std::fflush(out) == 0 ? EngineResult::Ok : EngineResult::WriteError;
}

} // namespace quarvo::cli
