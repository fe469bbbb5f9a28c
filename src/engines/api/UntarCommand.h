#pragma once

#include "engines/api/EngineCallbacks.h"

#include <cstddef>
#include <cstdint>

namespace quarvo {

// Functions of untar, the TAR engine.
namespace UntarFunction {
constexpr uint32_t NextEntry = 2; // deliver the next entry of the directory read last
constexpr uint32_t Extract = 7;   // extract, update, freshen or test the matching entries
constexpr uint32_t Open = 10;     // open the archive and read its directory
constexpr uint32_t Close = 11;    // close the archive
constexpr uint32_t Reread = 12;   // read the directory of the open archive again
} // namespace UntarFunction

namespace UntarResult {
// Reread, NextEntry or Close without an open archive (handle -1 or unknown).
constexpr uint16_t NoArchiveOpen = 150;
// NextEntry after the last entry, or with no directory kept (listing 0).
constexpr uint16_t NoMoreEntries = 151;
} // namespace UntarResult

// What kind of file system object an entry is.
namespace TarEntryType {
constexpr uint32_t File = 0;
constexpr uint32_t Directory = 1;
constexpr uint32_t SymbolicLink = 2;
constexpr uint32_t HardLink = 3;
constexpr uint32_t CharacterDevice = 4;
constexpr uint32_t BlockDevice = 5;
constexpr uint32_t Fifo = 6;
constexpr uint32_t Socket = 7;
} // namespace TarEntryType

// One entry of the directory, as NextEntry and the entry callback deliver it. Valid until the next
// call of the engine on the same block.
struct TarEntryRecord {
    uint64_t size = 0;            // bytes of data (a sparse file's full size)
    uint32_t crc32 = 0;           // always 0: TAR keeps no checksum of an entry's data
    uint32_t mode = 0;            // file type and permission bits as stored (S_IFMT | 07777)
    int64_t modificationTime = 0; // seconds since 1970
    uint32_t modificationNanoseconds = 0;
    uint32_t type = 0;                // TarEntryType
    const char* name = nullptr;       // the stored path: "/" separated, a directory ending in "/"
    const char* secondName = nullptr; // a link's target, "" for other entries
    uint64_t index = 0;               // 0-based position in the archive
};

// Called by Extract for every entry written: writtenPath is where it went, relative to the
// destination; entryName the entry's stored name. Returns 1 when the caller knew the entry (the
// engine does not rely on the answer).
using TarEntryPathCallback = int (*)(const char* writtenPath, const char* entryName, void* data);
// Called by Open and Reread for every entry read; returning 1 stops the reading (Cancelled).
using TarEntryCallback = int (*)(const TarEntryRecord* entry, void* data);

// The command block of untar. Field order and meaning are fixed; on a 32-bit build the offsets below
// hold exactly (pointers are 4 bytes there), on a 64-bit build pointers are native. The fields after
// entryPathCallbackData are this engine's own. Fields not named are reserved and stay 0.
struct UntarCommand {
    uint32_t structureSize = 116;                //   0
    uint32_t function = 0;                       //   4  UntarFunction
    int32_t handle = -1;                         //   8  -1: no archive open; written by the engine
    const char* archivePath = nullptr;           //  12  before Open (and Extract without a handle)
    const TarEntryRecord* entryRecord = nullptr; //  16  out: after NextEntry
    // "*.*" for every entry, stored names (in double quotes when they hold blanks), or wildcard
    // patterns; compared ignoring case, an exact name first (see ItemSelector).
    const char* itemSpecification = nullptr;    //  20
    uint32_t reserved24 = 0;                    //  24
    const char* destinationDirectory = nullptr; //  28  Extract
    uint32_t freshen = 0;                       //  32  only files that exist on disk and are older
    uint32_t update = 0;                        //  36  files older on disk, or missing
    uint32_t overwrite = 0;                     //  40  replace existing files without asking
    uint32_t reserved44 = 0;                    //  44
    uint32_t testOnly = 0;                      //  48  read and check, write nothing
    uint32_t noDirectoryNames = 0;              //  52  every file into the destination itself
    uint32_t recursePathInformation = 0;        //  56  a pattern without "/" also matches below
    uint32_t reserved60 = 0;                    //  60  the program sets it to 1
    // Progress: what is being read and the percentage of the archive file read (0 to 100).
    EngineStatusCallback statusCallback = nullptr; //  64
    void* statusCallbackData = nullptr;            //  68
    // Messages: what was skipped or failed, and why, naming the entry.
    EngineMessageCallback messageCallback = nullptr; //  72
    void* messageCallbackData = nullptr;             //  76
    uint32_t entryCount = 0;                         //  80  out: Open, Reread; all 32 bits
    uint32_t reserved84 = 0;                         //  84
    uint32_t reserved88 = 0;                         //  88
    uint32_t convertLineEnds = 0;                    //  92  write every LF of a file as CR LF
    uint32_t reserved96 = 0;                         //  96
    uint32_t reserved100 = 0;                        // 100
    // 1: Open and Reread keep the directory for NextEntry. 0: they only count the entries and hand
    // each to the entry callback, so a listing of any length costs no memory.
    uint32_t listing = 0;                             // 104
    TarEntryPathCallback entryPathCallback = nullptr; // 108
    void* entryPathCallbackData = nullptr;            // 112

    TarEntryCallback entryCallback = nullptr; // Open, Reread: each entry as it is read
    void* entryCallbackData = nullptr;
    uint32_t streamType = 0; // out: the StreamType the archive was read through
    // out: how many warnings the message callback was given (data after the end of a GZIP stream);
    // the result stays Ok when nothing else went wrong.
    uint32_t warnings = 0;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(UntarCommand, archivePath) == 12);
static_assert(offsetof(UntarCommand, destinationDirectory) == 28);
static_assert(offsetof(UntarCommand, testOnly) == 48);
static_assert(offsetof(UntarCommand, statusCallback) == 64);
static_assert(offsetof(UntarCommand, entryCount) == 80);
static_assert(offsetof(UntarCommand, convertLineEnds) == 92);
static_assert(offsetof(UntarCommand, listing) == 104);
static_assert(offsetof(UntarCommand, entryPathCallbackData) == 112);
#endif

// Runs the function the block describes, synchronously, and returns an EngineResult (or an
// UntarResult):
// - Open reads archivePath, plain or compressed (GZIP, compress, BZIP2, XZ, Zstandard, LZIP; told by
//   content, not by name), sets handle and entryCount. BadArchive when it is no TAR archive or a
//   header is damaged; CrcError when the data is damaged or ends early.
// - Reread reads the open archive again; NextEntry sets entryRecord to the next entry, in archive
//   order; Close forgets the archive and sets handle to -1.
// - Extract extracts or tests the matching entries into destinationDirectory. With no archive open
//   it reads archivePath itself, once when every entry is wanted. Entries are written beneath the
//   destination only: names with ".." or a leading "/" and links that lead outside are refused,
//   device nodes and FIFOs skipped, set-user-ID, set-group-ID and sticky bits dropped; each file
//   appears under its name only once it is whole.
uint16_t untar(UntarCommand* command);

} // namespace quarvo
