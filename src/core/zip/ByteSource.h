#pragma once

#include "core/base/Result.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quarvo {

// Random access to the bytes of an archive: a file or, in tests and fuzzers, memory.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // The length in bytes, taken when the source was opened.
    virtual uint64_t size() const = 0;
    // Reads up to into.size() bytes at offset; returns how many were read, fewer only at the end of
    // the source or on a read error. Never reads past size().
    virtual size_t readAt(uint64_t offset, std::span<uint8_t> into) = 0;
};

// A byte source over memory the caller keeps alive.
class MemoryByteSource : public ByteSource {
  public:
    explicit MemoryByteSource(std::span<const uint8_t> bytes) : m_bytes(bytes) {}
    uint64_t size() const override { return m_bytes.size(); }
    size_t readAt(uint64_t offset, std::span<uint8_t> into) override;

  private:
    std::span<const uint8_t> m_bytes;
};

// Why a file could not be opened for reading.
struct OpenError {
    int systemError = 0; // the error number of open(2) or fstat(2); 0 when the file is no regular file
    std::string message; // the system's words for it, or "not a regular file"
};

// A byte source over a file opened read-only; the descriptor is closed with the object.
class FileByteSource : public ByteSource {
  public:
    // Opens path for reading; fails with the system's reason, or when path is no regular file.
    static Result<FileByteSource, OpenError> open(const std::string& path);
    FileByteSource(FileByteSource&& other) noexcept;
    FileByteSource& operator=(FileByteSource&& other) noexcept;
    ~FileByteSource() override;

    uint64_t size() const override { return m_size; }
    size_t readAt(uint64_t offset, std::span<uint8_t> into) override;
    int descriptor() const { return m_descriptor; }

  private:
    FileByteSource(int descriptor, uint64_t size) : m_descriptor(descriptor), m_size(size) {}
    int m_descriptor = -1;
    uint64_t m_size = 0;
};

} // namespace quarvo
