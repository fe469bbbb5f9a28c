#pragma once

#include "core/tar/TarEngine.h"

namespace quarvo {

// The real TAR engine. Header-only on purpose, as LinkedEngines: only a target that links
// quarvo_engine_untar includes this file.
class LinkedTarEngine final : public TarEngine {
  public:
    uint32_t runStreamRequest(StreamRequest& request) override { return untarStream(&request); }
    uint16_t runUntar(UntarCommand& command) override { return untar(&command); }
};

} // namespace quarvo
