#include "engines/dzip/StreamEncoder.h"

#include "core/zip/ZipFormat.h"
#include "engines/common/PkwareCipher.h"

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
StreamOutcome encodePass(const std::string& path, uint64_t expectedSize, int level,
                         std::optional<PkwareCipher>& cipher, TemporaryArchive& out,
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
        if (cipher)
            cipher->encrypt(std::span<uint8_t>(data, size));
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
        if (options.encrypt) {
            cipher.emplace(options.password);
            const auto header = cipher->makeHeader(PkwareCipher::checkByteFor(0, dosTime, true));
            if (!out.write(header))
                return StreamOutcome::WriteFailed;
        }
        uint32_t crc = 0;
        uint64_t written = 0;
        const StreamOutcome outcome =
            encodePass(path, expectedSize, level, cipher, out, progress, crc, written, error);
        if (outcome != StreamOutcome::Done)
            return outcome;
        result.crc32 = crc;
        result.uncompressedSize = static_cast<uint32_t>(expectedSize);
        result.flags = options.encrypt ? zipformat::flag::Encrypted | zipformat::flag::DataDescriptor : 0;
        if (level > 0 && written < expectedSize) {
            result.method = zipformat::method::Deflated;
            result.flags |= deflateOptionFlags(level);
            return StreamOutcome::Done;
        }
        result.method = zipformat::method::Stored;
        if (level == 0)
            return StreamOutcome::Done;
        // Deflate made it no smaller: write it again, stored.
        if (!out.truncateTo(start))
            return StreamOutcome::WriteFailed;
    }
    return StreamOutcome::Done;
}

} // namespace quarvo
