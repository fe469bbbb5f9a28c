// Deflate64 entries (method 9), which 7-Zip and Windows write for large files, decoded by the
// program's own inflater: neither zlib nor libdeflate reads them.

#include "engines/dunzip/Inflater.h"
#include "engines/dunzip/MethodDecoder.h"

namespace quarvo {

namespace {

class Deflate64Decoder : public MethodDecoder {
  public:
    DecodeStatus decode(EntryDataStream& input, const DecodedOutput& output) override
    {
        return inflateStream(input, output, InflateVariant::Deflate64);
    }
};

} // namespace

std::unique_ptr<MethodDecoder> makeDeflate64Decoder()
{
    return std::make_unique<Deflate64Decoder>();
}

} // namespace quarvo
