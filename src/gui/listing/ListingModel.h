#pragma once

#include "core/zip/ZipEntry.h"

#include <QAbstractListModel>

#include <span>
#include <vector>

namespace quarvo::gui {

class ListingSource;

// The rows of a listing for Qt's item views: one row per shown entry, in the listing's order. It
// holds pointers only; what a row looks like is the delegate's business, fed the entry and its
// marker through the roles below. A row's tool tip names its compression method and encryption.
class ListingModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        EntryRole = Qt::UserRole, // const ZipEntry*
        MarkerRole,               // QString: the marker cell, " " "-" "+" or "*"
    };

    explicit ListingModel(const ListingSource& source, QObject* parent = nullptr);

    // Replaces every row at once (a model reset), as a rebuilt listing does.
    void setRows(std::vector<ZipEntry*> rows);
    std::span<ZipEntry* const> rows() const { return m_rows; }
    // The entry of a row; null for a row that does not exist.
    ZipEntry* entryAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ListingSource& m_source;
    std::vector<ZipEntry*> m_rows;
};

} // namespace quarvo::gui

Q_DECLARE_METATYPE(const quarvo::ZipEntry*)
