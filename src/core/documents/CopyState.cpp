#include "core/documents/CopyState.h"

#include "core/base/UniqueFd.h"
#include "core/zip/Crc32.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <span>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quarvo {

namespace {

constexpr size_t ReadSize = 256 * 1024;

// The CRC-32 of what the descriptor reads to its end; nothing on a read error.
std::optional<uint32_t> crc32Of(int descriptor)
{
    std::vector<uint8_t> buffer(ReadSize);
    Crc32 crc;
    for (;;) {
        ssize_t count = ::read(descriptor, buffer.data(), buffer.size());
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            return crc.value();
        crc.update(std::span<const uint8_t>(buffer.data(), static_cast<size_t>(count)));
    }
}

// O_NOFOLLOW: a link put in the copy's place is not the copy.
UniqueFd openCopy(const std::string& path)
{
    return UniqueFd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
}

} // namespace

CopyState inspectCopy(const std::string& path, const EntryFingerprint& entry)
{
    UniqueFd file = openCopy(path);
    if (file.get() < 0)
        return errno == ENOENT || errno == ELOOP || errno == ENOTDIR ? CopyState::Missing
                                                                     : CopyState::Changed;
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return CopyState::Changed;
    if (!S_ISREG(status.st_mode))
        return CopyState::Missing;
    if (static_cast<uint64_t>(status.st_size) != entry.size)
        return CopyState::Changed;
    std::optional<uint32_t> crc = crc32Of(file.get());
    return crc && *crc == entry.crc32 ? CopyState::Unchanged : CopyState::Changed;
}

std::optional<EntryFingerprint> fingerprintOf(const std::string& path)
{
    UniqueFd file = openCopy(path);
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    std::optional<uint32_t> crc = crc32Of(file.get());
    if (!crc)
        return std::nullopt;
    return EntryFingerprint{static_cast<uint64_t>(status.st_size), *crc};
}

} // namespace quarvo
