#include "engines/dunzip/MethodDecoder.h"

namespace quarvo {

std::unique_ptr<MethodDecoder> makePpmdDecoder(uint64_t)
{
    return nullptr;
}

} // namespace quarvo
