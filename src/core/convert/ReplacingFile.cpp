#include "core/convert/ReplacingFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace quarvo {

namespace {

constexpr size_t BufferSize = 256 * 1024;
constexpr int TemporaryNameAttempts = 100;

ConvertError systemError(ConvertFailure failure, int error)
{
    return {failure, std::strerror(error)};
}

} // namespace

ReplacingFile::ReplacingFile(int descriptor, std::string temporaryPath, std::string target, WriteCall write)
    : m_descriptor(descriptor), m_temporaryPath(std::move(temporaryPath)), m_target(std::move(target)),
      m_write(std::move(write))
{
    m_buffer.reserve(BufferSize);
}

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : m_descriptor(other.m_descriptor), m_temporaryPath(std::move(other.m_temporaryPath)),
      m_target(std::move(other.m_target)), m_write(std::move(other.m_write)),
      m_buffer(std::move(other.m_buffer)), m_position(other.m_position), m_failure(other.m_failure)
{
    other.m_descriptor = -1;
    other.m_temporaryPath.clear();
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

Result<ReplacingFile, ConvertError> ReplacingFile::create(const std::string& target, bool executable,
                                                          WriteCall write)
{
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path path(target);
    const std::filesystem::path directory = path.has_parent_path() ? path.parent_path() : ".";
    const std::string prefix =
        "." + path.filename().string() + ".convert-" + std::to_string(::getpid()) + "-";
    if (!write)
        write = [](int descriptor, const void* data, size_t count) {
            return ::write(descriptor, data, count);
        };
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        std::string temporary = (directory / (prefix + std::to_string(counter++))).string();
        int descriptor =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, executable ? 0777 : 0666);
        if (descriptor >= 0)
            return ReplacingFile(descriptor, std::move(temporary), target, std::move(write));
        if (errno != EEXIST)
            return systemError(ConvertFailure::CannotCreateOutput, errno);
    }
    return systemError(ConvertFailure::CannotCreateOutput, EEXIST);
}

bool ReplacingFile::flushBuffer()
{
    size_t done = 0;
    while (m_failure == 0 && done < m_buffer.size()) {
        ssize_t written = m_write(m_descriptor, m_buffer.data() + done, m_buffer.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            m_failure = written < 0 ? errno : ENOSPC;
        else
            done += static_cast<size_t>(written);
    }
    m_buffer.clear();
    return m_failure == 0;
}

bool ReplacingFile::write(std::span<const uint8_t> bytes)
{
    if (m_failure != 0 || m_descriptor < 0)
        return false;
    while (!bytes.empty()) {
        size_t room = BufferSize - m_buffer.size();
        size_t count = std::min(room, bytes.size());
        m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
        bytes = bytes.subspan(count);
        m_position += count;
        if (m_buffer.size() == BufferSize && !flushBuffer())
            return false;
    }
    return true;
}

Result<Ok, ConvertError> ReplacingFile::commit()
{
    if (m_descriptor < 0)
        return systemError(ConvertFailure::WriteFailed, EBADF);
    int failure = flushBuffer() ? 0 : m_failure;
    if (failure == 0 && ::fsync(m_descriptor) != 0)
        failure = errno;
    if (::close(m_descriptor) != 0 && failure == 0)
        failure = errno;
    m_descriptor = -1;
    if (failure == 0 && ::rename(m_temporaryPath.c_str(), m_target.c_str()) != 0)
        failure = errno;
    if (failure != 0) {
        discard();
        return systemError(ConvertFailure::WriteFailed, failure);
    }
    m_temporaryPath.clear();
    return Ok{};
}

void ReplacingFile::discard()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
    if (!m_temporaryPath.empty())
        ::unlink(m_temporaryPath.c_str());
    m_temporaryPath.clear();
}

} // namespace quarvo
