#include "engines/dzip/StreamEncoder.h"

#include "core/zip/ZipFormat.h"
#include "engines/common/PkwareCipher.h"
#include "engines/dzip/AesEntryEncryption.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace quarvo {

namespace {

constexpr size_t blockSize = 1 << 20;

struct DeflateStreamEnd {
    void operator()(z_stream* stream) const
    {
        deflateEnd(stream);
        delete stream;
    }
};

class FileReader {
  public:
    explicit FileReader(const std::string& path) : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK))
    {
    }
    ~FileReader()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool opened() const { return m_fd >= 0; }
    ssize_t read(uint8_t* into, size_t size)
    {
        while (true) {
            const ssize_t got = ::read(m_fd, into, size);
            if (got >= 0 || errno != EINTR)
                return got;
        }
    }

  private:
    int m_fd;
};

// One pass over the file: stored (level 0) or deflated. Returns the payload size in written.
// Encrypts bytes in place on their way into the archive; empty when the entry is not encrypted.
using Encrypt = std::function<void(std::span<uint8_t>)>;

StreamOutcome encodePass(const std::string& path, uint64_t expectedSize, int level, const Encrypt& encrypt,
                         TemporaryArchive& out,
                         const std::function<bool(uint64_t)>& progress, uint32_t& crc, uint64_t& written,
                         std::string& error)
{
    FileReader reader(path);
    if (!reader.opened()) {
        error = "Cannot open " + path + ": " + std::strerror(errno);
        return StreamOutcome::ReadFailed;
    }
    std::unique_ptr<z_stream, DeflateStreamEnd> stream;
    if (level > 0) {
        stream.reset(new z_stream{});
        if (deflateInit2(stream.get(), level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            error = "Out of memory.";
            return StreamOutcome::WriteFailed;
        }
    }
    std::vector<uint8_t> input(blockSize), output(level > 0 ? blockSize : 0);
    uint64_t done = 0;
    crc = 0;
    written = 0;
    auto emit = [&](uint8_t* data, size_t size) {
        if (encrypt)
            encrypt(std::span<uint8_t>(data, size));
        written += size;
        return out.write(std::span<const uint8_t>(data, size));
    };
    bool finished = false;
    while (!finished) {
        const ssize_t got = reader.read(input.data(), input.size());
        if (got < 0) {
            error = "Cannot read " + path + ": " + std::strerror(errno);
            return StreamOutcome::ReadFailed;
        }
        finished = got == 0;
        done += static_cast<uint64_t>(got);
        if (done > expectedSize) {
            error = "The file " + path + " changed while it was being added.";
            return StreamOutcome::ReadFailed;
        }
        crc = updateCrc32(crc, input.data(), static_cast<size_t>(got));
        if (level == 0) {
            if (got > 0 && !emit(input.data(), static_cast<size_t>(got)))
                return StreamOutcome::WriteFailed;
        } else {
            stream->next_in = input.data();
            stream->avail_in = static_cast<uInt>(got);
            int status;
            do {
                stream->next_out = output.data();
                stream->avail_out = static_cast<uInt>(output.size());
                status = deflate(stream.get(), finished ? Z_FINISH : Z_NO_FLUSH);
                const size_t produced = output.size() - stream->avail_out;
                if (produced > 0 && !emit(output.data(), produced))
                    return StreamOutcome::WriteFailed;
            } while (stream->avail_out == 0 || (finished && status != Z_STREAM_END));
        }
        if (!progress(done))
            return StreamOutcome::Cancelled;
    }
    if (done != expectedSize) {
        error = "The file " + path + " changed while it was being added.";
        return StreamOutcome::ReadFailed;
    }
    return StreamOutcome::Done;
}

} // namespace

StreamOutcome streamEncodeFile(const std::string& path, uint64_t expectedSize, const EncodingOptions& options,
                               uint16_t dosTime, TemporaryArchive& out,
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
        uint32_t crc = 0;
        uint64_t written = 0;
        const StreamOutcome outcome = encodePass(path, expectedSize, level, encrypt, out, progress, crc, written, error);
        if (outcome != StreamOutcome::Done)
            return outcome;
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
