#include "engines/api/EngineResult.h"
#include "engines/api/StreamRequest.h"
#include "engines/api/UntarCommand.h"
#include "engines/untar/StreamOperation.h"
#include "engines/untar/UntarOperation.h"
#include "engines/untar/Utf8ThreadLocale.h"

#include <new>

namespace quarvo {

uint16_t untar(UntarCommand* command)
{
    if (!command)
        return EngineResult::BadArgument;
    try {
        return runUntarCommand(*command);
    } catch (const std::bad_alloc&) {
        // Nothing may escape the engine's C-style entry; memory is the one thing that can run out.
        return EngineResult::OutOfMemory;
    }
}

uint32_t untarStream(StreamRequest* request)
{
    if (!request)
        return EngineResult::BadArgument;
    try {
        Utf8ThreadLocale utf8;
        return runStreamRequest(*request);
    } catch (const std::bad_alloc&) {
        return request->function == StreamFunction::Identify ? StreamType::Plain : EngineResult::OutOfMemory;
    }
}

} // namespace quarvo
