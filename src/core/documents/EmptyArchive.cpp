#include "core/documents/EmptyArchive.h"

#include "core/base/DescriptorWrite.h"
#include "core/zip/ZipRecords.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quarvo {

bool writeEmptyArchive(const std::string& path)
{
    std::vector<uint8_t> bytes;
    appendEndRecord(bytes, EndRecordFields{});
    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return false;
    bool written = writeFully(descriptor, bytes.data(), bytes.size()) == 0;
    bool closed = ::close(descriptor) == 0;
    if (written && closed)
        return true;
    ::unlink(path.c_str());
    return false;
}

} // namespace quarvo
