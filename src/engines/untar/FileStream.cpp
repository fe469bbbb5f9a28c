#include "engines/untar/FileStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace quarvo {

namespace {

// Large enough that the system calls cost nothing next to decompression, small enough to stay in
// the cache.
constexpr size_t ReadBlockSize = 256 * 1024;

} // namespace

Result<std::unique_ptr<FileStream>> FileStream::open(const std::string& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        return Error{std::strerror(errno)};
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        return Error{std::strerror(errno)};
    if (S_ISDIR(status.st_mode))
        return Error{std::strerror(EISDIR)};
    const bool regular = S_ISREG(status.st_mode);
    return std::unique_ptr<FileStream>(
        new FileStream(std::move(fd), regular ? static_cast<uint64_t>(status.st_size) : 0, regular));
}

FileStream::FileStream(UniqueFd fd, uint64_t size, bool seekable)
    : m_fd(std::move(fd)), m_size(size), m_seekable(seekable), m_buffer(ReadBlockSize)
{
}

Result<std::span<const uint8_t>, StreamError> FileStream::read()
{
    for (;;) {
        const ssize_t count = ::read(m_fd.get(), m_buffer.data(), m_buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return StreamError{StreamProblem::ReadFailed, std::strerror(errno)};
        m_position += static_cast<uint64_t>(count);
        return std::span<const uint8_t>(m_buffer.data(), static_cast<size_t>(count));
    }
}

uint64_t FileStream::skip(uint64_t count)
{
    if (!m_seekable || m_position >= m_size)
        return 0;
    // Never past the end: the reader must find out for itself that the data is cut short.
    const uint64_t step = std::min(count, m_size - m_position);
    if (::lseek(m_fd.get(), static_cast<off_t>(m_position + step), SEEK_SET) < 0)
        return 0;
    m_position += step;
    return step;
}

Result<std::span<const uint8_t>, StreamError> MemoryStream::read()
{
    const size_t count = std::min(m_maximumRead, m_bytes.size() - m_position);
    const std::span<const uint8_t> chunk = m_bytes.subspan(m_position, count);
    m_position += count;
    return chunk;
}

} // namespace quarvo
