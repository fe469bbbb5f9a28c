#include "engines/api/EngineResult.h"
#include "engines/api/UnzipCommand.h"
#include "engines/dunzip/UnzipOperation.h"

#include <new>

namespace quarvo {

uint16_t dunzip(UnzipCommand* command)
{
    if (!command)
        return EngineResult::BadArgument;
    try {
        return runUnzipOperation(*command);
    } catch (const std::bad_alloc&) {
        // Nothing may escape the engine's C-style entry; memory is the one thing that can run out.
        return EngineResult::OutOfMemory;
    }
}

} // namespace quarvo
