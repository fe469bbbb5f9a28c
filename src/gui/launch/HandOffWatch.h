#pragma once

#include "gui/launch/FileStamp.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QString>

#include <chrono>

namespace quarvo::gui {

// Many programs hand a file to an instance of themselves that is already running and exit at once
// (browsers, office suites, xdg-open), so their process ending says nothing about the file. A program
// that ended within HandOffWindow of its start, leaving its file unchanged, has probably done that;
// the caller then watches the file here instead of taking the program's end as the end of the edit.
constexpr std::chrono::seconds HandOffWindow{5};

// Watches files for a change after their program has ended: fileChanged(path) comes once, when the
// file's stamp (FileStamp: inode, size, modification time, by lstat) differs from the one taken by
// watchFile, and the file is no longer watched after that. Both the file and its directory are
// watched, because an editor that saves by renaming a new file over the old one ends any watch on
// the old file alone.
class HandOffWatch : public QObject {
    Q_OBJECT

  public:
    explicit HandOffWatch(QObject* parent = nullptr);

    // Starts watching path, stamped as it is now. Returns false when there is no file to stamp, or
    // it is watched already.
    bool watchFile(const QString& path);
    // Stops watching path (nothing happens when it is not watched).
    void stop(const QString& path);
    bool isWatching(const QString& path) const { return m_watched.contains(path); }

  signals:
    void fileChanged(const QString& path);

  private:
    struct Watched {
        FileStamp stamp;
        QString directory;
    };

    void checkFile(const QString& path);
    void checkDirectory(const QString& directory);

    QFileSystemWatcher m_watcher;
    QHash<QString, Watched> m_watched;
    QHash<QString, int> m_directoryUsers; // how many watched files each watched directory holds
};

} // namespace quarvo::gui
