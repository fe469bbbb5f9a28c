#pragma once

#include "core/zip/ByteSource.h"
#include "engines/dunzip/ArchiveIndex.h"
#include "engines/dunzip/EntryDecoder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarvo {

// What reading any entry of one run needs besides the entry.
struct EntryReadSettings {
    bool testOnly = false; // failures then say nothing about files kept
    bool decrypt = false;
    const char* password = nullptr;
    uint64_t directoryStart = 0; // no entry's data may run into the central directory
};

// How reading one entry's data ended: an EngineResult and the messages to tell, in order.
struct EntryReadOutcome {
    uint16_t code = 0;
    std::vector<std::string> messages;
};

// Reads one entry's data: checks its local header against the central directory, decrypts and
// decodes it into sink, and checks size and CRC-32. Calls nothing but source, sink and progress, so
// it runs on any thread; every problem comes back as a message. shown is the entry's name as
// messages show it.
EntryReadOutcome readEntryData(ByteSource& source, const ArchiveEntry& entry, const std::string& shown,
                               const EntryReadSettings& settings, const DecodeSink& sink,
                               const DecodeProgress& progress);

} // namespace quarvo
