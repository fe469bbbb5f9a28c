#pragma once

#include "engines/api/UntarCommand.h"

#include <cstdint>

namespace quarvo {

// Runs one function of an untar command block, reporting through its callbacks. Returns an
// EngineResult or an UntarResult.
uint16_t runUntarCommand(UntarCommand& command);

} // namespace quarvo
