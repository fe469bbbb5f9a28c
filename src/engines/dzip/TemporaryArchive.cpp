#include "engines/dzip/TemporaryArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <random>

namespace quarvo {

TemporaryArchive::~TemporaryArchive()
{
    discard();
}

void TemporaryArchive::discard()
{
    if (m_descriptor >= 0)
        close(m_descriptor);
    m_descriptor = -1;
    if (!m_namedPath.empty())
        unlink(m_namedPath.c_str());
    m_namedPath.clear();
}

bool TemporaryArchive::create(const std::string& directory, std::string& error)
{
    m_directory = directory.empty() ? "." : directory;
    m_buffer.reserve(BufferSize);
    m_descriptor = open(m_directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (m_descriptor >= 0)
        return true;
    // File systems without unnamed files get a hidden named one.
    std::string pattern = m_directory + "/.quarvo-zip-XXXXXX";
    m_descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    if (m_descriptor < 0) {
        error = "Cannot create a temporary file in " + m_directory + ": " + std::strerror(errno);
        return false;
    }
    m_namedPath = pattern;
    return true;
}

void TemporaryArchive::failWrite(int error)
{
    if (m_writeError.empty()) {
        m_writeError = std::strerror(error);
        m_diskFull = error == ENOSPC || error == EDQUOT || error == EFBIG;
    }
}

bool TemporaryArchive::writeOut(std::span<const uint8_t> bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            failWrite(errno);
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

bool TemporaryArchive::flush()
{
    if (!m_writeError.empty() || m_descriptor < 0)
        return false;
    const bool written = writeOut(m_buffer);
    m_buffer.clear();
    return written;
}

bool TemporaryArchive::write(std::span<const uint8_t> bytes)
{
    if (!m_writeError.empty() || m_descriptor < 0)
        return false;
    if (m_buffer.size() + bytes.size() > BufferSize && !flush())
        return false;
    if (bytes.size() >= BufferSize) {
        if (!writeOut(bytes))
            return false;
    } else {
        m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    }
    m_position += bytes.size();
    return true;
}

bool TemporaryArchive::writeAt(uint64_t offset, std::span<const uint8_t> bytes)
{
    if (!m_writeError.empty() || m_descriptor < 0 || offset + bytes.size() > m_position)
        return false;
    // A header of a small entry is usually still in the buffer.
    const uint64_t bufferStart = m_position - m_buffer.size();
    if (offset >= bufferStart) {
        std::copy(bytes.begin(), bytes.end(), m_buffer.begin() + static_cast<ptrdiff_t>(offset - bufferStart));
        return true;
    }
    if (offset + bytes.size() > bufferStart && !flush())
        return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            pwrite(m_descriptor, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            failWrite(errno);
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

bool TemporaryArchive::truncateTo(uint64_t offset)
{
    if (!flush())
        return false;
    if (ftruncate(m_descriptor, static_cast<off_t>(offset)) != 0 ||
        lseek(m_descriptor, static_cast<off_t>(offset), SEEK_SET) < 0) {
        failWrite(errno);
        return false;
    }
    m_position = offset;
    return true;
}

void TemporaryArchive::keepOwnership(uint32_t owner, uint32_t group)
{
    m_keepOwnership = true;
    m_owner = owner;
    m_group = group;
}

bool TemporaryArchive::commit(const std::string& target, uint32_t permissions, std::string& error)
{
    auto fail = [&](const std::string& what) {
        error = what + ": " + std::strerror(errno);
        discard();
        return false;
    };
    flush();
    if (!m_writeError.empty()) {
        error = "Writing the new archive failed: " + m_writeError;
        discard();
        return false;
    }
    if (fsync(m_descriptor) != 0)
        return fail("Writing the new archive failed");
    // Before the mode: changing the owner clears the set-user-id and set-group-id bits.
    if (m_keepOwnership && fchown(m_descriptor, geteuid() == 0 ? m_owner : static_cast<uid_t>(-1), m_group) != 0)
        fchown(m_descriptor, static_cast<uid_t>(-1), m_group); // not root or not a member: as far as allowed
    if (fchmod(m_descriptor, permissions) != 0)
        return fail("Cannot set the new archive's permissions");
    if (m_namedPath.empty()) {
        // Give the unnamed file a hidden name first: link() cannot replace the target itself.
        std::random_device random;
        const std::string descriptorPath = "/proc/self/fd/" + std::to_string(m_descriptor);
        for (int attempt = 0; attempt < 100 && m_namedPath.empty(); ++attempt) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "%08x", random());
            const std::string candidate = m_directory + "/.quarvo-zip-" + suffix;
            if (linkat(AT_FDCWD, descriptorPath.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0)
                m_namedPath = candidate;
            else if (errno != EEXIST)
                return fail("Cannot name the new archive");
        }
        if (m_namedPath.empty())
            return fail("Cannot name the new archive");
    }
    if (rename(m_namedPath.c_str(), target.c_str()) != 0)
        return fail("Cannot replace " + target);
    m_namedPath.clear();
    close(m_descriptor);
    m_descriptor = -1;
    const int directory = open(m_directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        fsync(directory);
        close(directory);
    }
    return true;
}

} // namespace quarvo
