#include "core/documents/EmptyArchive.h"

#include "core/zip/ZipRecords.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quarvo {

namespace {

bool writeAll(int descriptor, const std::vector<uint8_t>& bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t count = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<size_t>(count);
    }
    return true;
}

} // namespace

bool writeEmptyArchive(const std::string& path)
{
    std::vector<uint8_t> bytes;
    appendEndRecord(bytes, EndRecordFields{});
    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return false;
    bool written = writeAll(descriptor, bytes);
    bool closed = ::close(descriptor) == 0;
    if (written && closed)
        return true;
    ::unlink(path.c_str());
    return false;
}

} // namespace quarvo
