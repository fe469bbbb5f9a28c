#pragma once

#include "core/base/UniqueFd.h"
#include "engines/untar/ByteStream.h"

#include <memory>
#include <vector>

namespace quarvo {

// A file read from its start in large blocks; a regular file can be skipped through by seeking.
class FileStream final : public ByteStream {
  public:
    // Opens the file at path for reading; the error is the system's reason.
    static Result<std::unique_ptr<FileStream>> open(const std::string& path);

    Result<std::span<const uint8_t>, StreamError> read() override;
    uint64_t skip(uint64_t count) override;
    uint64_t filePosition() const override { return m_position; }
    uint64_t fileSize() const override { return m_size; }

  private:
    FileStream(UniqueFd fd, uint64_t size, bool seekable);

    UniqueFd m_fd;
    uint64_t m_size = 0;
    bool m_seekable = false;
    uint64_t m_position = 0;
    std::vector<uint8_t> m_buffer;
};

// Bytes in memory, handed out at most maximumRead at a time: the fuzz harness reads its input this
// way, and the tests use short reads to show that no reader depends on how its input is cut.
class MemoryStream final : public ByteStream {
  public:
    explicit MemoryStream(std::span<const uint8_t> bytes, size_t maximumRead = SIZE_MAX)
        : m_bytes(bytes), m_maximumRead(maximumRead == 0 ? 1 : maximumRead)
    {
    }

    Result<std::span<const uint8_t>, StreamError> read() override;
    uint64_t filePosition() const override { return m_position; }
    uint64_t fileSize() const override { return m_bytes.size(); }

  private:
    std::span<const uint8_t> m_bytes;
    size_t m_maximumRead;
    size_t m_position = 0;
};

} // namespace quarvo
