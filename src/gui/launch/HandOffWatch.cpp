#include "gui/launch/HandOffWatch.h"

#include <QFile>
#include <QFileInfo>

namespace quarvo::gui {

namespace {

std::optional<FileStamp> stampOf(const QString& path)
{
    return quarvo::gui::stampOf(QFile::encodeName(path).toStdString());
}

} // namespace

HandOffWatch::HandOffWatch(QObject* parent) : QObject(parent)
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &HandOffWatch::checkFile);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &HandOffWatch::checkDirectory);
}

bool HandOffWatch::watchFile(const QString& path)
{
    std::optional<FileStamp> stamp = stampOf(path);
    if (!stamp || isWatching(path))
        return false;
    // The directory as written, not with links resolved, so that it is the one renames happen in.
    QString directory = QFileInfo(path).absolutePath();
    m_watched.insert(path, Watched{*stamp, directory});
    m_watcher.addPath(path);
    if (m_directoryUsers[directory]++ == 0)
        m_watcher.addPath(directory);
    return true;
}

void HandOffWatch::stop(const QString& path)
{
    auto found = m_watched.find(path);
    if (found == m_watched.end())
        return;
    QString directory = found->directory;
    m_watched.erase(found);
    m_watcher.removePath(path);
    if (--m_directoryUsers[directory] == 0) {
        m_directoryUsers.remove(directory);
        m_watcher.removePath(directory);
    }
}

void HandOffWatch::checkFile(const QString& path)
{
    auto found = m_watched.constFind(path);
    if (found == m_watched.constEnd() || !stampShowsChange(found->stamp, stampOf(path)))
        return;
    stop(path);
    emit fileChanged(path);
}

void HandOffWatch::checkDirectory(const QString& directory)
{
    QStringList inDirectory;
    for (auto watched = m_watched.cbegin(); watched != m_watched.cend(); ++watched)
        if (watched->directory == directory)
            inDirectory.append(watched.key());
    for (const QString& path : inDirectory)
        checkFile(path);
}

} // namespace quarvo::gui
