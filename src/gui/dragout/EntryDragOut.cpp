#include "gui/dragout/EntryDragOut.h"

#include "core/documents/EntryDrag.h"
#include "core/zip/ZipEntry.h"
#include "gui/listing/ListingView.h"

#include <QPointer>
#include <QUrl>

namespace quarvo::gui {

namespace {

const QString UriListFormat = QStringLiteral("text/uri-list");

} // namespace

ExtractingMimeData::ExtractingMimeData(Extraction extract) : m_extract(std::move(extract)) {}

bool ExtractingMimeData::hasFormat(const QString& mimeType) const
{
    return mimeType == UriListFormat;
}

QStringList ExtractingMimeData::formats() const
{
    return {UriListFormat};
}

QVariant ExtractingMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (mimeType != UriListFormat)
        return QMimeData::retrieveData(mimeType, type);
    if (!m_extracted) {
        m_extracted = true;
        if (std::optional<std::vector<std::string>> paths = m_extract()) {
            for (const std::string& path : *paths)
                m_urls << QUrl::fromLocalFile(QString::fromStdString(path));
        }
    }
    QList<QVariant> urls;
    for (const QUrl& url : m_urls)
        urls << url;
    return urls;
}

void enableEntryDragOut(ListingView& listing, ArchiveEntrySource& archive, std::string scratchDirectory)
{
    if (scratchDirectory.empty())
        return;
    QPointer<ListingView> view(&listing);
    listing.setEntryDragData(
        [view, &archive, scratchDirectory](const std::vector<ZipEntry*>& entries) -> QMimeData* {
            // The names are taken now: the archive may be re-read before the drop asks for the files.
            std::vector<ZipEntry> dragged;
            for (const ZipEntry* entry : entries)
                dragged.push_back(*entry);
            return new ExtractingMimeData([view, &archive, scratchDirectory,
                                           dragged]() -> std::optional<std::vector<std::string>> {
                // The window, and with it the archive, may have closed while the drag went on.
                if (!view || !view->hasSource())
                    return std::nullopt;
                std::vector<const ZipEntry*> pointers;
                for (const ZipEntry& entry : dragged)
                    pointers.push_back(&entry);
                Result<std::vector<std::string>> paths = dragOutEntries(archive, pointers, scratchDirectory);
                if (!paths)
                    return std::nullopt;
                return paths.value();
            });
        });
}

} // namespace quarvo::gui
