#include "engines/dzip/StreamEncoder.h"

#include "core/zip/ZipFormat.h"
#include "engines/common/PkwareCipher.h"
#include "engines/dzip/AesEntryEncryption.h"
#include "engines/dzip/ChunkPipeline.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace quarvo {

namespace {

class OpenedSource {
  public:
    explicit OpenedSource(const std::string& path) : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    ~OpenedSource()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    OpenedSource(const OpenedSource&) = delete;
    OpenedSource& operator=(const OpenedSource&) = delete;
    int descriptor() const { return m_fd; }
    // Whether a byte stands at offset: a file that grew past its listed size.
    bool hasByteAt(uint64_t offset) const
    {
        uint8_t byte;
        ssize_t got;
        do {
            got = pread(m_fd, &byte, 1, static_cast<off_t>(offset));
        } while (got < 0 && errno == EINTR);
        return got > 0;
    }

  private:
    int m_fd;
};

// Encrypts bytes in place on their way into the archive; empty when the entry is not encrypted.
using Encrypt = std::function<void(std::span<uint8_t>)>;

// Where one pass over the file puts its output, and what it tells about it.
struct PassOutput {
    const Encrypt& encrypt;
    TemporaryArchive& out;
    const std::function<bool(uint64_t)>& progress;
    uint32_t crc = 0;
    uint64_t written = 0; // the payload's size

    bool emit(std::vector<uint8_t>& bytes)
    {
        if (encrypt)
            encrypt(std::span<uint8_t>(bytes));
        written += bytes.size();
        return out.write(bytes);
    }
};

std::string changedText(const std::string& path)
{
    return "The file " + path + " changed while it was being added.";
}

unsigned pipelineWorkers()
{
    return std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
}

// One pass over the file, stored (level 0) or deflated: the workers read the file piece by piece,
// a few pieces ahead, and deflate them, and the pieces are written in order as they come back, so
// memory stays bounded by the pieces in flight. Fills output's CRC and payload size.
StreamOutcome encodePass(const std::string& path, uint64_t expectedSize, int level, size_t chunkSize,
                         PassOutput& output, std::string& error)
{
    OpenedSource source(path);
    if (source.descriptor() < 0) {
        error = "Cannot open " + path + ": " + std::strerror(errno);
        return StreamOutcome::ReadFailed;
    }
    const unsigned workers = pipelineWorkers();
    const size_t maximumInFlight = 2 * workers;
    ChunkPipeline pipeline(source.descriptor(), level, workers);
    std::vector<std::unique_ptr<ChunkPipeline::Piece>> spare;
    uint64_t queued = 0, written = 0;
    bool allQueued = false;
    while (true) {
        while (!allQueued && pipeline.inFlight() < maximumInFlight) {
            std::unique_ptr<ChunkPipeline::Piece> piece;
            if (spare.empty()) {
                piece = std::make_unique<ChunkPipeline::Piece>();
            } else {
                piece = std::move(spare.back());
                spare.pop_back();
            }
            piece->offset = queued;
            piece->size = static_cast<size_t>(std::min<uint64_t>(chunkSize, expectedSize - queued));
            queued += piece->size;
            piece->last = allQueued = queued == expectedSize;
            pipeline.push(std::move(piece));
        }
        std::unique_ptr<ChunkPipeline::Piece> piece = pipeline.pop();
        if (!piece)
            break;
        if (piece->readError != 0) {
            error = "Cannot read " + path + ": " + std::strerror(piece->readError);
            return StreamOutcome::ReadFailed;
        }
        if (piece->input.size() != piece->size) {
            error = changedText(path);
            return StreamOutcome::ReadFailed;
        }
        if (piece->outOfMemory) {
            error = "Out of memory.";
            return StreamOutcome::WriteFailed;
        }
        output.crc = combineCrc32(output.crc, piece->crc32, piece->size);
        if (!output.emit(level > 0 ? piece->output : piece->input))
            return StreamOutcome::WriteFailed;
        written += piece->size;
        if (!output.progress(written))
            return StreamOutcome::Cancelled;
        spare.push_back(std::move(piece));
    }
    if (source.hasByteAt(expectedSize)) {
        error = changedText(path);
        return StreamOutcome::ReadFailed;
    }
    return StreamOutcome::Done;
}

} // namespace

StreamOutcome streamEncodeFile(const std::string& path, uint64_t expectedSize, const EncodingOptions& options,
                               uint16_t dosTime, size_t chunkSize, TemporaryArchive& out,
                               const std::function<bool(uint64_t)>& progress, EncodedData& result,
                               std::string& error)
{
    const uint64_t start = out.position();
    for (int level : {options.deflateLevel, 0}) {
        std::optional<PkwareCipher> cipher;
        std::optional<AesEntryEncryption> aes;
        Encrypt encrypt;
        if (options.encrypt && options.aes) {
            Result<AesEntryEncryption> started = AesEntryEncryption::start(options.password);
            if (!started) {
                error = started.error().message;
                return StreamOutcome::WriteFailed;
            }
            aes.emplace(std::move(started).value());
            if (!out.write(aes->prefix()))
                return StreamOutcome::WriteFailed;
            encrypt = [&aes](std::span<uint8_t> bytes) { aes->encrypt(bytes); };
        } else if (options.encrypt) {
            cipher.emplace(options.password);
            const auto header = cipher->makeHeader(PkwareCipher::checkByteFor(0, dosTime, true));
            if (!out.write(header))
                return StreamOutcome::WriteFailed;
            encrypt = [&cipher](std::span<uint8_t> bytes) { cipher->encrypt(bytes); };
        }
        PassOutput output{encrypt, out, progress};
        const StreamOutcome outcome = encodePass(path, expectedSize, level, chunkSize, output, error);
        if (outcome != StreamOutcome::Done)
            return outcome;
        const uint32_t crc = output.crc;
        const uint64_t written = output.written;
        if (aes && !out.write(aes->suffix()))
            return StreamOutcome::WriteFailed;
        result.crc32 = crc;
        result.uncompressedSize = expectedSize;
        // The traditional cipher's check byte comes from the time, announced by a data descriptor;
        // AES needs none, and its header is written again with the sizes like a plain entry's.
        result.flags = cipher ? zipformat::flag::Encrypted | zipformat::flag::DataDescriptor : 0;
        if (level > 0 && written < expectedSize) {
            result.method = zipformat::method::Deflated;
            result.flags |= deflateOptionFlags(level);
            if (aes)
                markAesEncrypted(result);
            return StreamOutcome::Done;
        }
        result.method = zipformat::method::Stored;
        if (level == 0) {
            if (aes)
                markAesEncrypted(result);
            return StreamOutcome::Done;
        }
        // Deflate made it no smaller: write it again, stored.
        if (!out.truncateTo(start))
            return StreamOutcome::WriteFailed;
    }
    return StreamOutcome::Done;
}

} // namespace quarvo
