#pragma once

#include <QMimeData>

#include <functional>
#include <optional>
#include <string>

namespace quarvo {
class ArchiveEntrySource;
}

namespace quarvo::gui {

class ListingView;

// What a drag of entries out of a listing carries: `text/uri-list` naming files that are extracted
// only when the drop target asks for them, once the drop has landed (a drag given up extracts
// nothing). The extraction runs once; every later request gets the same files.
class ExtractingMimeData : public QMimeData {
    Q_OBJECT
  public:
    // extract returns the paths of the extracted files, or nothing when the extraction failed.
    using Extraction = std::function<std::optional<std::vector<std::string>>()>;
    explicit ExtractingMimeData(Extraction extract);

    bool hasFormat(const QString& mimeType) const override;
    QStringList formats() const override;
    // Whether the extraction ran (successfully or not).
    bool extracted() const { return m_extracted; }

  protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

  private:
    Extraction m_extract;
    mutable bool m_extracted = false;
    mutable QList<QUrl> m_urls;
};

// Lets the selected entries of an archive's listing be dragged to a file manager or the desktop:
// they are extracted through the archive's engine into a private directory inside the scratch
// directory when the drop lands, and offered as their files. Nothing is dragged without a scratch
// directory.
void enableEntryDragOut(ListingView& listing, ArchiveEntrySource& archive, std::string scratchDirectory);

} // namespace quarvo::gui
