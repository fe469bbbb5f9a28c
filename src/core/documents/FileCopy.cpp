#include "core/documents/FileCopy.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace quarvo {

namespace {

int writeAll(int descriptor, const uint8_t* data, size_t size)
{
    while (size > 0) {
        ssize_t written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return EIO;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return 0;
}

} // namespace

int copyFileData(int from, int to, size_t bufferSize, const CopyProgress& progress)
{
    std::vector<uint8_t> buffer(bufferSize > 0 ? bufferSize : 1);
    uint64_t copied = 0;
    for (;;) {
        ssize_t count = ::read(from, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return errno;
        if (count == 0)
            return 0;
        if (int error = writeAll(to, buffer.data(), static_cast<size_t>(count)))
            return error;
        copied += static_cast<uint64_t>(count);
        if (progress && !progress(copied))
            return ECANCELED;
    }
}

} // namespace quarvo
