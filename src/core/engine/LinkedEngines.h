#pragma once

#include "core/engine/CompressionEngines.h"

namespace quarvo {

// The real engines. Header-only on purpose: the core itself links no engine, so only a target that
// links quarvo_engine_dzip and quarvo_engine_dunzip (the program, the command-line tool, the
// real-engine tests) includes this file.
class LinkedEngines final : public CompressionEngines {
  public:
    uint16_t runDzip(ZipCommand& command) override { return dzip(&command); }
    uint16_t runDunzip(UnzipCommand& command) override { return dunzip(&command); }
};

} // namespace quarvo
