#pragma once

#include "viewer/ContentSniffer.h"
#include "viewer/PagedFile.h"

#include <QMainWindow>

class QLabel;

namespace quarvo::viewer {

class HexView;
class ImageView;
class TextView;

// Text is shown up to this many bytes of the file; the status bar says when the rest is left out.
// Paging text would need the line breaks of the whole file, which means reading all of it.
constexpr qint64 TextShownLimit = 8 * 1024 * 1024;

// The viewer's one window over an opened file: the content sniffer's first block decides between
// the image, text and hex views. The title names the file; the status bar gives its size and what
// it was taken for. Escape closes the window.
class ViewerWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ViewerWindow(PagedFile file, QWidget* parent = nullptr);
    ~ViewerWindow() override;

    const PagedFile& file() const { return m_file; }
    // The view in use; the other two are null.
    HexView* hexView() const { return m_hexView; }
    TextView* textView() const { return m_textView; }
    ImageView* imageView() const { return m_imageView; }
    QString statusText() const;

private:
    // Sniffs the first block and shows the file in the view it calls for.
    void showContent();
    bool showImage(std::string_view format, QString& failure);
    void showText(TextEncoding encoding, const QString& note);
    void showBytes(const QString& note);
    void updateImageStatus();
    void setStatus(const QString& description, const QString& note = {});

    PagedFile m_file;
    HexView* m_hexView = nullptr;
    TextView* m_textView = nullptr;
    ImageView* m_imageView = nullptr;
    QLabel* m_status = nullptr;
};

} // namespace quarvo::viewer
