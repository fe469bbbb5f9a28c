#pragma once

#include "engines/dunzip/DecodeStatus.h"
#include "engines/dunzip/EntryDataStream.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace quarvo {

// Takes decoded bytes in order; anything but Ok stops decoding with that status.
using DecodedOutput = std::function<DecodeStatus(std::span<const uint8_t>)>;

// The decompressor of one method other than stored and deflate, for one entry's data. It reads the
// compressed bytes from the stream, hands out what they decode to, and says how the stream ended:
// Ok when it ended properly within the entry's compressed size (bytes after the end are ignored, as
// for deflate), Corrupt when it is invalid or needs more bytes than the entry holds, or the status
// the stream or the output stopped it with. Memory stays bounded whatever the data says.
class MethodDecoder {
  public:
    virtual ~MethodDecoder() = default;
    virtual DecodeStatus decode(EntryDataStream& input, const DecodedOutput& output) = 0;
};

// What a method's decoder is told about the entry.
struct MethodParameters {
    uint16_t method = 0;
    uint16_t flags = 0;            // general-purpose bits
    uint64_t uncompressedSize = 0; // as declared; more is never produced
};

// The decoder for the entry's method, or null when the program has none for it.
std::unique_ptr<MethodDecoder> makeMethodDecoder(const MethodParameters& parameters);
bool hasMethodDecoder(uint16_t method);

// One call into a decompression library that works on buffers: it took consumed bytes of the input,
// wrote produced bytes to the output, and either wants to go on, has seen the end of its stream,
// or failed with a status.
struct DecodeStep {
    enum class State { More, Ended, Failed };
    size_t consumed = 0;
    size_t produced = 0;
    State state = State::More;
    DecodeStatus failure = DecodeStatus::Corrupt;
};
// inputEnded says that no compressed bytes follow the input given.
using DecodeStepFunction =
    std::function<DecodeStep(std::span<const uint8_t> input, std::span<uint8_t> output, bool inputEnded)>;

// Drives a buffer-to-buffer library over the entry's data in 64 KiB pieces: reads, steps, hands the
// output on, until the library reports the end of its stream or fails; a step that makes no
// progress ends the data as Corrupt, so a library that wants more than the entry holds cannot loop.
DecodeStatus pumpDecoder(EntryDataStream& input, const DecodedOutput& output, const DecodeStepFunction& step);

// The decoders, one per method; each file says which library does the work.
std::unique_ptr<MethodDecoder> makeBzip2Decoder();
std::unique_ptr<MethodDecoder> makeLzmaDecoder(bool endMarker, uint64_t uncompressedSize);
std::unique_ptr<MethodDecoder> makeXzDecoder();
std::unique_ptr<MethodDecoder> makeZstandardDecoder(uint64_t uncompressedSize);
std::unique_ptr<MethodDecoder> makeDeflate64Decoder();
std::unique_ptr<MethodDecoder> makePpmdDecoder(uint64_t uncompressedSize);

} // namespace quarvo
