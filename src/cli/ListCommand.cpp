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
#include <vector>

namespace quarvo::cli {

namespace {

constexpr size_t OutputChunk = 64 * 1024;

constexpr std::string_view TableHeader =
    "      Size     Packed Ratio Method   Date       Time  CRC-32    Name\n"
    "---------- ---------- ----- -------- ---------- ----- --------  ----\n";
constexpr std::string_view TableRule =
    "---------- ---------- -----                                     ----\n";

void appendTableRow(const ZipEntry& entry, std::string& out)
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
    out += row.data();
}

// The listing as it is read, held until the whole directory has been read: a directory that turns
// out damaged lists nothing. It is kept in pieces of OutputChunk bytes, so a million names never
// need one block twice their size while it grows.
class ListingText : public DirectoryVisitor {
  public:
    explicit ListingText(bool table) : m_table(table) { begin(); }

    void visit(const ZipEntry& entry) override
    {
        std::string& out = current();
        if (m_table)
            appendTableRow(entry, out);
        appendWithControlCharactersEscaped(out, entry.name);
        out += '\n';
        ++m_count;
        m_totalSize += entry.uncompressedSize;
        m_totalPacked += entry.compressedSize;
    }

    void restart() override
    {
        m_pieces.clear();
        m_count = m_totalSize = m_totalPacked = 0;
        begin();
    }

    uint64_t count() const { return m_count; }

    // The table's totals and the archive comment under the rows.
    void finishTable(const std::string& archiveComment)
    {
        std::string& out = current();
        out += TableRule;
        std::array<char, 128> totals{};
        std::snprintf(totals.data(), totals.size(), "%10" PRIu64 " %10" PRIu64 " %4d%%%37s%" PRIu64 " %s\n",
                      m_totalSize, m_totalPacked, compressionRatio(m_totalPacked, m_totalSize), "", m_count,
                      m_count == 1 ? "entry" : "entries");
        out += totals.data();
        if (!archiveComment.empty())
            out += "Comment: " + escapeControlCharacters(archiveComment) + "\n";
    }

    void writeTo(std::FILE* stream) const
    {
        for (const std::string& piece : m_pieces)
            std::fwrite(piece.data(), 1, piece.size(), stream);
    }

  private:
    void begin()
    {
        if (m_table)
            current() += TableHeader;
    }

    // The piece being filled; a new one once it holds OutputChunk bytes.
    std::string& current()
    {
        if (m_pieces.empty() || m_pieces.back().size() >= OutputChunk) {
            m_pieces.emplace_back();
            m_pieces.back().reserve(OutputChunk + PieceSlack);
        }
        return m_pieces.back();
    }

    // Room for the row that takes a piece past OutputChunk, so it is not reallocated.
    static constexpr size_t PieceSlack = 1024;

    bool m_table = false;
    std::vector<std::string> m_pieces;
    uint64_t m_count = 0;
    uint64_t m_totalSize = 0;
    uint64_t m_totalPacked = 0;
};

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
    ListingText text(request.verbose);
    if (!reader.scanDirectory(text)) {
        write(err, "quarvo-cli: " + name + ": " + describeDirectoryError(reader.error()) + "\n");
        return EngineResult::BadArchive;
    }
    // Said on standard error, so that the names on standard output stay names.
    if (text.count() == 0)
        write(err, "quarvo-cli: " + name + " holds no entries\n");
    if (request.verbose)
        text.finishTable(reader.archive().archiveComment);
    text.writeTo(out);
    return std::fflush(out) == 0 ? EngineResult::Ok : EngineResult::WriteError;
}

} // namespace quarvo::cli
