#include "engines/api/EngineResult.h"
#include "engines/api/ZipCommand.h"
#include "engines/dzip/ZipOperation.h"

#include <new>

namespace quarvo {

uint16_t dzip(ZipCommand* command)
{
    if (!command)
        return EngineResult::BadArgument;
    try {
        return ZipOperation(*command).run();
    } catch (const std::bad_alloc&) {
        return EngineResult::OutOfMemory;
    }
}

} // namespace quarvo
