#pragma once

#include "engines/api/ZipCommand.h"
#include "engines/common/EngineLog.h"
#include "engines/common/EngineReporter.h"
#include "engines/dzip/CentralDirectory.h"
#include "engines/dzip/EntryEncoder.h"
#include "engines/dzip/ExistingArchive.h"
#include "engines/dzip/SourceCollector.h"
#include "engines/dzip/StreamEncoder.h"
#include "engines/dzip/TemporaryArchive.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quarvo {

// One run of dzip: checks the command block, plans the new archive, builds it in a temporary file
// and puts it in place. Every failure leaves the archive as it was.
class ZipOperation {
  public:
    // Files above limits.wholeFileLimit are streamed, deflated in pieces of limits.chunkSize.
    explicit ZipOperation(const ZipCommand& command, StreamingLimits limits = {});

    // Runs the operation; returns an EngineResult.
    uint16_t run();

  private:
    struct OutputItem {
        bool fromDisk = false;
        size_t index = 0; // into m_archive.entries or m_sources
    };

    uint16_t execute();
    uint16_t fail(uint16_t result, const std::string& text);
    // "NAME was not changed." or, for an archive that did not exist, "NAME was not created."
    std::string unchanged() const;
    uint16_t loadArchive();
    uint16_t planDelete();
    uint16_t planAdd();
    void measureWork();
    uint16_t build();
    uint16_t writeCopiedEntry(const ExistingEntry& entry, ByteSource& source);
    uint16_t writeNewEntry(const SourceFile& file, struct PendingJobs& jobs);
    uint16_t writeEncoded(const SourceFile& file, const EncodedData& data);
    uint16_t writeStreamed(const SourceFile& file);
    uint16_t finishArchive();
    // The most encryption adds to an entry's data.
    uint64_t encryptionOverhead() const;
    uint16_t writeFailure();
    void removeMovedSources();
    void applyOldAsLatest();
    bool progress(const std::string& text, uint64_t doneInItem);
    std::string temporaryDirectory() const;

    const ZipCommand& m_command;
    StreamingLimits m_limits;
    EngineLog m_log;
    EngineReporter m_reporter;
    std::string m_archivePath;
    bool m_archiveExists = false;
    uint32_t m_archiveMode = 0;
    ExistingArchive m_archive;
    std::string m_newComment;
    EncodingOptions m_encoding;

    std::vector<SourceFile> m_sources;
    std::vector<std::string> m_sourceComments; // by source index: the comment of the entry it replaces
    std::vector<OutputItem> m_output;
    std::vector<CentralRecord> m_central;
    bool m_entriesSkipped = false;

    TemporaryArchive m_temporary;
    uint64_t m_totalBytes = 0;
    uint64_t m_doneBytes = 0;
};

} // namespace quarvo
