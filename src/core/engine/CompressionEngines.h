#pragma once

#include "engines/api/UnzipCommand.h"
#include "engines/api/ZipCommand.h"

#include <cstdint>

namespace quarvo {

// The two engine entry points as one replaceable object, so the core can be run against a fake
// engine in tests. The program uses LinkedEngines, which calls the real dzip and dunzip.
class CompressionEngines {
  public:
    virtual ~CompressionEngines() = default;

    // Runs the compression engine on the block and returns its EngineResult.
    virtual uint16_t runDzip(ZipCommand& command) = 0;
    // Runs the decompression engine on the block and returns its EngineResult.
    virtual uint16_t runDunzip(UnzipCommand& command) = 0;
};

} // namespace quarvo
