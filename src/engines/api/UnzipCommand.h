#pragma once

#include "engines/api/EngineCallbacks.h"

#include <cstddef>
#include <cstdint>

namespace quarvo {

namespace UnzipFunction {
constexpr uint32_t Extract = 8; // extract or test the matching entries
} // namespace UnzipFunction

// The command block of dunzip; see ZipCommand for the conventions.
struct UnzipCommand {
    uint32_t structureSize = 142;          //   0
    uint32_t function = 0;                 //   4  UnzipFunction
    const char* archivePath = nullptr;     //   8
    uint32_t reserved12 = 0;               //  12
    // "*.*" for every entry, a list of quoted stored names, or a typed wildcard specification.
    const char* itemSpecification = nullptr; // 16
    uint32_t reserved20 = 0;               //  20
    const char* destinationDirectory = nullptr; // 24
    uint32_t freshen = 0;                  //  28  only entries that exist on disk and are newer
    uint32_t update = 0;                   //  32  entries newer than the file on disk, or missing
    uint32_t overwrite = 0;                //  36  replace existing files without asking
    uint32_t reserved40 = 0;               //  40
    uint32_t testOnly = 0;                 //  44  decompress and check, write nothing
    uint32_t noDirectoryNames = 0;         //  48  extract every entry into the destination itself
    uint32_t recursePathInformation = 0;   //  52  a pattern without "/" also matches below the root
    uint32_t reserved56 = 0;               //  56  the program sets it to 1
    EngineStatusCallback statusCallback = nullptr; // 60
    void* statusCallbackData = nullptr;    //  64
    EngineMessageCallback messageCallback = nullptr; // 68
    void* messageCallbackData = nullptr;   //  72
    uint32_t reserved76 = 0;               //  76
    uint32_t reserved80 = 0;               //  80
    uint32_t writeLog = 0;                 //  84
    uint32_t reserved88 = 0;               //  88
    uint32_t decrypt = 0;                  //  92
    const char* password = nullptr;        //  96
    EngineQueryCallback queryCallback = nullptr; // 100
    void* queryCallbackData = nullptr;     // 104
    uint16_t optionBits = 0;               // 108  the program sets 2
    uint8_t reserved110[32] = {};          // 110 .. 141
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(UnzipCommand, itemSpecification) == 16);
static_assert(offsetof(UnzipCommand, destinationDirectory) == 24);
static_assert(offsetof(UnzipCommand, testOnly) == 44);
static_assert(offsetof(UnzipCommand, statusCallback) == 60);
static_assert(offsetof(UnzipCommand, writeLog) == 84);
static_assert(offsetof(UnzipCommand, password) == 96);
static_assert(offsetof(UnzipCommand, queryCallbackData) == 104);
static_assert(offsetof(UnzipCommand, optionBits) == 108);
#endif

// Runs the extraction or test the block describes, synchronously. Returns an EngineResult.
uint16_t dunzip(UnzipCommand* command);

} // namespace quarvo
