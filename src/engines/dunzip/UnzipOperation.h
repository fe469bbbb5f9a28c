#pragma once

#include "engines/api/UnzipCommand.h"

#include <cstdint>

namespace quarvo {

// Runs one dunzip command block: checks it, reads and checks the archive's directory, then tests or
// extracts every matching entry, reporting each problem through the callbacks. Returns an
// EngineResult: Ok only when every matching entry was done.
uint16_t runUnzipOperation(const UnzipCommand& command);

} // namespace quarvo
