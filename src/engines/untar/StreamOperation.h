#pragma once

#include "engines/api/StreamRequest.h"

#include <cstdint>

namespace quarvo {

// Runs one stream request: identifies, unpacks or tests the input, reporting through its callbacks.
// Returns what untarStream returns.
uint32_t runStreamRequest(StreamRequest& request);

} // namespace quarvo
