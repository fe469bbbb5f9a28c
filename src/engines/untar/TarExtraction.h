#pragma once

#include "engines/api/UntarCommand.h"
#include "engines/common/EngineReporter.h"
#include "engines/untar/TarSessions.h"

#include <cstdint>

namespace quarvo {

// Runs Extract (function 7) of a block: extracts or tests the entries the item specification names,
// from the open archive (open; its kept directory gives the names to select from) or, with none
// open, from the block's archivePath. Returns an EngineResult and adds the warnings given to
// warnings.
uint16_t runTarExtraction(const UntarCommand& command, OpenTarArchive* open, EngineReporter& reporter,
                          uint32_t& warnings);

} // namespace quarvo
