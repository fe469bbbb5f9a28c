#include "gui/dialogs/DirectoryTree.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace quarvo::gui {

namespace {

constexpr int PathRole = Qt::UserRole;

QTreeWidgetItem* addItem(QTreeWidgetItem* parent, QTreeWidget* tree, const QString& text, const QString& path)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, text);
    item->setData(0, PathRole, path);
    return item;
}

} // namespace

DirectoryTree::DirectoryTree(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString path = item->data(0, PathRole).toString();
        if (path != m_directory && setDirectory(path))
            emit directoryChanged(m_directory);
    });
}

bool DirectoryTree::setDirectory(const QString& directory)
{
    const QFileInfo info(directory);
    if (directory.isEmpty() || !info.isDir() || !info.isReadable())
        return false;
    const QString path = QDir::cleanPath(info.absoluteFilePath());
    m_directory = path;

    clear();
    QTreeWidgetItem* current = addItem(nullptr, this, QStringLiteral("/"), QStringLiteral("/"));
    QString walked;
    for (const QString& component : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walked += QLatin1Char('/') + component;
        current = addItem(current, this, component, walked);
    }
    const QDir listed(path);
    const QStringList children =
        listed.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children)
        addItem(current, this, child, listed.filePath(child));
    expandAll();
    setCurrentItem(current);
    scrollToItem(current);
    return true;
}

QTreeWidgetItem* DirectoryTree::itemFor(const QString& path) const
{
    for (QTreeWidgetItemIterator it(const_cast<DirectoryTree*>(this)); *it; ++it) {
        if ((*it)->data(0, PathRole).toString() == path)
            return *it;
    }
    return nullptr;
}

MountPointList::MountPointList(QWidget* parent) : QListWidget(parent)
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            roots << volume.rootPath();
    }
    roots.removeDuplicates();
    roots.sort();
    addItems(roots);
    auto choose = [this](QListWidgetItem* item) { emit mountPointChosen(item->text()); };
    connect(this, &QListWidget::itemClicked, this, choose);
    connect(this, &QListWidget::itemActivated, this, choose);
}

} // namespace quarvo::gui
