#pragma once

#include <QListWidget>
#include <QTreeWidget>

namespace quarvo::gui {

// The "&Directories:" list of the directory dialogs: the chain from the root down to the current
// directory, and below it the current directory's subdirectories. Activating an item (double click
// or Enter) makes it the current directory. Directories are listed at once, never in the
// background, so what the tree shows is always complete.
class DirectoryTree : public QTreeWidget {
    Q_OBJECT
  public:
    explicit DirectoryTree(QWidget* parent = nullptr);

    // Shows directory; false (and nothing changes) when it is not a directory that can be listed.
    bool setDirectory(const QString& directory);
    // The current directory as an absolute, clean path: the "built directory".
    const QString& directory() const { return m_directory; }
    // The item that stands for path, or nullptr when the tree does not show it.
    QTreeWidgetItem* itemFor(const QString& path) const;

  signals:
    // The user moved to another directory.
    void directoryChanged(const QString& directory);

  private:
    QString m_directory;
};

// The list of mounted volumes, in place of a drive list: choosing one moves to its root.
class MountPointList : public QListWidget {
    Q_OBJECT
  public:
    explicit MountPointList(QWidget* parent = nullptr);

  signals:
    void mountPointChosen(const QString& rootPath);
};

} // namespace quarvo::gui
