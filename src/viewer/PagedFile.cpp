#include "viewer/PagedFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo::viewer {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Only a regular file has a fixed size to page through; a device may never end.
std::optional<QString> whyNotARegularFile(int descriptor)
{
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return systemReason(errno);
    if (S_ISDIR(status.st_mode))
        return systemReason(EISDIR);
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("Not a regular file");
    return std::nullopt;
}

} // namespace

PagedFile::PagedFile(QString path, std::unique_ptr<QFile> file)
    : m_path(std::move(path)), m_file(std::move(file)), m_size(m_file->size())
{
}

Result<PagedFile, QString> PagedFile::open(const QString& path)
{
    // Non-blocking, so that a named pipe fails the type check below instead of waiting for a writer;
    // the type is checked on the open descriptor, so it is the type of what is read.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return systemReason(errno);
    if (std::optional<QString> reason = whyNotARegularFile(descriptor)) {
        ::close(descriptor);
        return *reason;
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return file->errorString();
    }
    return PagedFile(path, std::move(file));
}

QByteArray PagedFile::read(qint64 offset, qint64 length) const
{
    if (offset < 0 || length <= 0 || offset >= m_size)
        return {};
    length = std::min(length, m_size - offset);
    if (!m_file->seek(offset))
        return {};
    QByteArray bytes = m_file->read(length);
    m_bytesRead += bytes.size();
    return bytes;
}

} // namespace quarvo::viewer
