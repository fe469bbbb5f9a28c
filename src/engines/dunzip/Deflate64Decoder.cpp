#include "engines/dunzip/MethodDecoder.h"

namespace quarvo {

std::unique_ptr<MethodDecoder> makeDeflate64Decoder()
{
    return nullptr;
}

} // namespace quarvo
