#include "gui/listing/ListingModel.h"

#include "core/zip/ZipEntry.h"
#include "core/zip/ZipMethodNames.h"
#include "gui/listing/ListingSource.h"

namespace quarvo::gui {

ListingModel::ListingModel(const ListingSource& source, QObject* parent)
    : QAbstractListModel(parent), m_source(source)
{
}

void ListingModel::setRows(std::vector<ZipEntry*> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

ZipEntry* ListingModel::entryAt(int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size())
        return nullptr;
    return m_rows[size_t(row)];
}

int ListingModel::rowCount(const QModelIndex& parent) const
{
    // A list has no children; Qt asks with a valid parent to find that out.
    if (parent.isValid())
        return 0;
    return int(m_rows.size());
}

QVariant ListingModel::data(const QModelIndex& index, int role) const
{
    const ZipEntry* entry = index.isValid() ? entryAt(index.row()) : nullptr;
    if (entry == nullptr)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return QString::fromStdString(entry->name);
    case Qt::ToolTipRole:
        return QStringLiteral("Method: ") + QString::fromStdString(entryMethodText(*entry));
    case EntryRole:
        return QVariant::fromValue(entry);
    case MarkerRole:
    {
        std::string_view marker = rowMarker(m_source.isCheckedOut(), m_source.openState(*entry));
        return QString::fromLatin1(marker.data(), qsizetype(marker.size()));
    }
    default:
        return {};
    }
}

Qt::ItemFlags ListingModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Dragging needs the flag; the view starts a drag only when it was given what to carry.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

} // namespace quarvo::gui
