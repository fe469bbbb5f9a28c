#include "core/zip/ByteSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quarvo {

size_t MemoryByteSource::readAt(uint64_t offset, std::span<uint8_t> into)
{
    if (offset >= m_bytes.size())
        return 0;
    size_t count = static_cast<size_t>(std::min<uint64_t>(into.size(), m_bytes.size() - offset));
    std::copy_n(m_bytes.begin() + static_cast<ptrdiff_t>(offset), count, into.begin());
    return count;
}

Result<FileByteSource, OpenError> FileByteSource::open(const std::string& path)
{
    // Non-blocking, so that a FIFO or device under an archive's name cannot stop the program in
    // open(2); a regular file reads the same either way, and anything else is refused below.
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        const int error = errno;
        return OpenError{error, std::strerror(error)};
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        const int error = errno;
        ::close(descriptor);
        return OpenError{error, std::strerror(error)};
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return OpenError{0, "not a regular file"};
    }
    return FileByteSource(descriptor, static_cast<uint64_t>(status.st_size));
}

FileByteSource::FileByteSource(FileByteSource&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1)), m_size(other.m_size)
{
}

FileByteSource& FileByteSource::operator=(FileByteSource&& other) noexcept
{
    if (this != &other) {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_size = other.m_size;
    }
    return *this;
}

FileByteSource::~FileByteSource()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

size_t FileByteSource::readAt(uint64_t offset, std::span<uint8_t> into)
{
    if (offset >= m_size)
        return 0;
    size_t wanted = static_cast<size_t>(std::min<uint64_t>(into.size(), m_size - offset));
    size_t done = 0;
    while (done < wanted) {
        ssize_t count =
            ::pread(m_descriptor, into.data() + done, wanted - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        done += static_cast<size_t>(count);
    }
    return done;
}

} // namespace quarvo
