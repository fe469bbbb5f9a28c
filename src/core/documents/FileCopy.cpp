#include "core/documents/FileCopy.h"

#include "core/base/DescriptorWrite.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace quarvo {

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
        if (int error = writeFully(to, buffer.data(), static_cast<size_t>(count)))
            return error;
        copied += static_cast<uint64_t>(count);
        if (progress && !progress(copied))
            return ECANCELED;
    }
}

} // namespace quarvo
