#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unistd.h>

namespace quarvo {

// Writes every byte to the descriptor, going on after a short or an interrupted write. Returns 0, or
// the errno of the failure (EIO when the descriptor took nothing, which write() does not explain).
inline int writeFully(int descriptor, const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        ssize_t written = ::write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return EIO;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return 0;
}

inline int writeFully(int descriptor, std::string_view bytes)
{
    return writeFully(descriptor, bytes.data(), bytes.size());
}

} // namespace quarvo
