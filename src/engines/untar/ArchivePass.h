#pragma once

#include "engines/common/EngineReporter.h"
#include "engines/untar/DecodedStream.h"
#include "engines/untar/TarReader.h"

#include <memory>
#include <optional>
#include <string>

namespace quarvo {

// Why a pass over an archive could not go on: an EngineResult and the message that says why, naming
// the entry concerned. The message has not been given yet.
struct PassFailure {
    uint16_t code = 0;
    std::string message;
};

// One reading of a TAR archive file from start to end, plain or compressed: the entries in archive
// order, each one's data when asked for, and every problem in the words the user sees, naming the
// entry concerned. Problems that do not stop the reading (a damaged header skipped, data after the
// end of a GZIP stream) are told through the reporter at once and counted.
class ArchivePass {
  public:
    // Opens the file and looks at its first bytes. Fails with CannotOpenArchive when the file cannot
    // be read, CrcError when its compressed data cannot be unpacked, BadArchive when the unpacked
    // data is no TAR archive.
    static Result<std::unique_ptr<ArchivePass>, PassFailure> open(const std::string& path,
                                                                  EngineReporter& reporter);

    uint32_t streamType() const { return m_stream.type; }
    // The archive's file name as messages show it.
    const std::string& shownArchive() const { return m_shownArchive; }

    // The next entry, or nothing at the end of the archive. Data of the previous entry that was not
    // read is passed over.
    Result<std::optional<TarHeader>, PassFailure> next();
    // Hands the current entry's data to sink (see TarReader::readData); true in the value when sink
    // stopped it.
    Result<bool, PassFailure> readData(const TarReader::DataSink& sink);
    // After the end of the archive: reads the rest of a compressed stream, so that its check values
    // are checked and data after it is noticed.
    std::optional<PassFailure> finish();

    // The share of the file read so far (0 to 100).
    uint32_t percent() const;
    uint32_t damagedHeaders() const { return m_damagedHeaders; }
    uint32_t warnings() const { return m_warnings; }

  private:
    ArchivePass(std::string shownArchive, EngineReporter& reporter);
    PassFailure failureOf(const TarError& error, bool inData) const;
    PassFailure streamFailure(const StreamError& error, const std::string& where) const;

    std::string m_shownArchive;
    EngineReporter& m_reporter;
    DecodedStream m_stream;
    std::unique_ptr<TarReader> m_reader;
    std::string m_currentEntry; // shown name of the entry read last; empty before the first
    uint32_t m_damagedHeaders = 0;
    uint32_t m_warnings = 0;
};

// An entry's stored name as messages show it: invalid UTF-8 bytes and control characters written
// as "\xHH".
std::string shownEntryName(std::string_view storedName);

} // namespace quarvo
