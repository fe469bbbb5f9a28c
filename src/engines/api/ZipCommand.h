#pragma once

#include "engines/api/EngineCallbacks.h"

#include <cstddef>
#include <cstdint>

namespace quarvo {

// Functions of the compression engine.
namespace ZipFunction {
constexpr uint32_t Freshen = 1; // replace only entries that exist and whose file is newer
constexpr uint32_t Delete = 2;  // remove the named entries
constexpr uint32_t Update = 3;  // add new files, replace entries whose file is newer
constexpr uint32_t Add = 4;     // add, replacing entries of the same name
} // namespace ZipFunction

// How the encrypt flag encrypts new entries (offset 160).
namespace ZipEncryption {
constexpr uint32_t Traditional = 0; // the traditional PKWARE cipher: every unzip reads it, but it is weak
constexpr uint32_t Aes256 = 1;      // WinZip AES-256 (AE-2): 7-Zip, WinZip and most current tools read it
} // namespace ZipEncryption

namespace ZipOptionBits {
constexpr uint16_t Default = 3;
constexpr uint16_t Bit0 = 0x0001; // cleared for delete
constexpr uint16_t SelfExtractor = 0x0020; // the archive is a self-extractor (its stub is kept anyway)
} // namespace ZipOptionBits

// The command block of dzip. Field order and meaning are fixed; on a 32-bit build the offsets below
// hold exactly (pointers are 4 bytes there), on a 64-bit build pointers are native. Fields not named
// are reserved and stay 0. Texts are UTF-8 and NUL-terminated; paths use "/".
struct ZipCommand {
    uint32_t structureSize = 188;          //   0
    uint32_t function = 0;                 //   4  ZipFunction
    const char* archivePath = nullptr;     //   8
    // One or more file specifications separated by blanks; double quotes group a name with blanks.
    // For delete: stored entry names or patterns.
    const char* itemSpecification = nullptr; // 12
    EngineMessageCallback messageCallback = nullptr; // 16
    void* messageCallbackData = nullptr;   //  20
    EngineStatusCallback statusCallback = nullptr; // 24
    void* statusCallbackData = nullptr;    //  28
    uint32_t reserved32 = 0;               //  32  the program clears it before every call
    uint32_t recurse = 0;                  //  36
    // 0 stores; 1..8 deflate at level (value + 1); above 8 deflate at the strongest level.
    uint32_t compressionLevel = 0;         //  40
    uint32_t reserved44 = 0;               //  44
    uint32_t temporaryDirectoryGiven = 0;  //  48
    const char* temporaryDirectory = nullptr; // 52  where the new archive is built
    uint32_t repair = 0;                   //  56  rebuild the directory from the local headers
    uint32_t thoroughRepair = 0;           //  60  salvage every entry found by scanning the file
    uint32_t reserved64 = 0;               //  64
    uint32_t deleteSourceFiles = 0;        //  68  the Move commands
    uint32_t reserved72 = 0;               //  72
    uint32_t noDirectoryNames = 0;         //  76  store the file name only
    uint32_t reserved80 = 0;               //  80
    uint32_t commentGiven = 0;             //  84
    const char* comment = nullptr;         //  88  the new archive comment; empty removes it
    uint32_t dateGiven = 0;                //  92
    const char* date = nullptr;            //  96  add only files dated on or after this date
    uint32_t oldAsLatest = 0;              // 100  the archive's time becomes its newest entry's
    uint32_t includeListGiven = 0;         // 104
    const char* includeList = nullptr;     // 108
    uint32_t excludeListGiven = 0;         // 112
    const char* excludeList = nullptr;     // 116
    uint32_t reserved120 = 0;              // 120
    uint32_t includeSystemAndHidden = 0;   // 124
    uint32_t reserved128 = 0;              // 128
    uint32_t reserved132 = 0;              // 132
    uint32_t writeLog = 0;                 // 136
    uint32_t encrypt = 0;                  // 140
    const char* password = nullptr;        // 144
    EngineQueryCallback queryCallback = nullptr; // 148
    void* queryCallbackData = nullptr;     // 152
    uint16_t spanOptions = 0;              // 156  0 = none; anything else is refused here
    uint16_t optionBits = 0;               // 158  ZipOptionBits
    uint32_t encryption = 0;               // 160  ZipEncryption, when encrypt is set
    uint8_t reserved164[24] = {};          // 164 .. 187
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ZipCommand) == 188);
static_assert(offsetof(ZipCommand, itemSpecification) == 12);
static_assert(offsetof(ZipCommand, compressionLevel) == 40);
static_assert(offsetof(ZipCommand, temporaryDirectory) == 52);
static_assert(offsetof(ZipCommand, deleteSourceFiles) == 68);
static_assert(offsetof(ZipCommand, comment) == 88);
static_assert(offsetof(ZipCommand, excludeList) == 116);
static_assert(offsetof(ZipCommand, writeLog) == 136);
static_assert(offsetof(ZipCommand, queryCallbackData) == 152);
static_assert(offsetof(ZipCommand, spanOptions) == 156);
static_assert(offsetof(ZipCommand, optionBits) == 158);
static_assert(offsetof(ZipCommand, encryption) == 160);
#endif

// Runs the operation the block describes, synchronously. Returns an EngineResult.
uint16_t dzip(ZipCommand* command);

} // namespace quarvo
