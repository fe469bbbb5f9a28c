#pragma once

#include "core/base/Result.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

namespace quarvo::viewer {

// A regular file opened read-only, read a range at a time on demand, so that a file of any size opens
// at once and costs only the bytes on screen. The size is the one it had when it was opened; a file
// that shrinks afterwards reads short, never past its end.
class PagedFile {
public:
    // Opens path for reading. The error is the reason, for the user: the system's words ("No such
    // file or directory", "Permission denied", "Is a directory"), or "Not a regular file" for a
    // device or pipe, which has no size to page through and may block or never end.
    static Result<PagedFile, QString> open(const QString& path);

    const QString& path() const { return m_path; }
    qint64 size() const { return m_size; }

    // Up to length bytes from offset; fewer at the end of the file or when reading fails.
    QByteArray read(qint64 offset, qint64 length) const;

    // Every byte read so far, to show that only what is needed is read.
    qint64 bytesRead() const { return m_bytesRead; }

private:
    PagedFile(QString path, std::unique_ptr<QFile> file);

    QString m_path;
    std::unique_ptr<QFile> m_file;
    qint64 m_size = 0;
    mutable qint64 m_bytesRead = 0;
};

} // namespace quarvo::viewer
