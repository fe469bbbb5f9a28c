#pragma once

#include "engines/api/StreamRequest.h"
#include "engines/api/UntarCommand.h"

#include <cstdint>

namespace quarvo {

// The two entries of the TAR engine as one replaceable object, so the core can be run against a
// fake in tests. The program uses LinkedTarEngine, which calls the real untar.
class TarEngine {
  public:
    virtual ~TarEngine() = default;

    // Runs the stream request (identify, unpack, test) and returns its answer.
    virtual uint32_t runStreamRequest(StreamRequest& request) = 0;
    // Runs the function the TAR command block names and returns its result.
    virtual uint16_t runUntar(UntarCommand& command) = 0;
};

} // namespace quarvo
