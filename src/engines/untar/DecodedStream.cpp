#include "engines/untar/DecodedStream.h"

#include "engines/api/StreamRequest.h"
#include "engines/untar/FilterDecoder.h"
#include "engines/untar/GzipDecoder.h"
#include "engines/untar/PrefetchStream.h"
#include "engines/untar/StreamFormat.h"
#include "engines/untar/StreamKinds.h"
#include "engines/untar/TarFormat.h"

#include <thread>

namespace quarvo {

bool DecodedStream::compressed() const
{
    return type != StreamType::Plain;
}

Result<DecodedStream, StreamError> openDecodedStream(std::unique_ptr<ByteStream> file,
                                                     std::function<void(const std::string&)> warn,
                                                     Decoding decoding)
{
    Result<std::unique_ptr<ReplayStream>, StreamError> raw =
        ReplayStream::lookAhead(std::move(file), streamformat::LongestSignature);
    if (!raw)
        return raw.error();
    DecodedStream decoded;
    decoded.type = streamTypeOf(raw.value()->head());
    // A plain file needs no decoding, and is read ahead by the system anyway.
    std::unique_ptr<PrefetchStream> prefetch;
    if (decoded.compressed() && decoding == Decoding::Concurrent && std::thread::hardware_concurrency() > 1) {
        prefetch = std::make_unique<PrefetchStream>(std::move(warn));
        warn = prefetch->queueingWarn();
    }
    std::unique_ptr<ByteStream> data;
    if (decoded.type == StreamType::Plain) {
        data = std::move(raw).value();
    } else if (decoded.type == StreamType::Gzip) {
        data = std::make_unique<GzipDecoder>(std::move(raw).value(), std::move(warn));
    } else {
        Result<std::unique_ptr<FilterDecoder>, StreamError> filter =
            FilterDecoder::open(std::move(raw).value(), decoded.type);
        if (!filter)
            return filter.error();
        data = std::move(filter).value();
    }
    if (prefetch) {
        prefetch->start(std::move(data));
        data = std::move(prefetch);
    }
    Result<std::unique_ptr<ReplayStream>, StreamError> unpacked =
        ReplayStream::lookAhead(std::move(data), tarformat::BlockSize);
    if (!unpacked)
        return unpacked.error();
    decoded.holdsTar = startsLikeTar(unpacked.value()->head());
    decoded.data = std::move(unpacked).value();
    return decoded;
}

} // namespace quarvo
