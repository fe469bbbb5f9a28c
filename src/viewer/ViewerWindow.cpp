#include "viewer/ViewerWindow.h"

#include "core/text/NumberFormat.h"
#include "viewer/ByteSpan.h"
#include "viewer/HexView.h"
#include "viewer/ImageView.h"
#include "viewer/TextDecoding.h"
#include "viewer/TextView.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>

namespace quarvo::viewer {

namespace {

QString fromView(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ViewerWindow::ViewerWindow(PagedFile file, QWidget* parent)
    : QMainWindow(parent), m_file(std::move(file)), m_status(new QLabel)
{
    setWindowTitle(QFileInfo(m_file.path()).fileName() + QStringLiteral(" - Quarvo Viewer"));
    statusBar()->addWidget(m_status, 1);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    resize(900, 640);
    showContent();
}

ViewerWindow::~ViewerWindow()
{
    // The hex view reads through m_file, which members' destruction ends before the base class
    // deletes the child widgets: the view goes first.
    delete takeCentralWidget();
}

QString ViewerWindow::statusText() const
{
    return m_status->text();
}

void ViewerWindow::showContent()
{
    const QByteArray block = m_file.read(0, static_cast<qint64>(SniffBlockSize));
    const bool wholeFile = block.size() >= m_file.size();
    const ContentGuess guess = sniffContent(byteSpan(block), wholeFile);
    if (guess.kind == ContentKind::Image) {
        QString failure;
        if (showImage(guess.imageFormat, failure))
            return;
        // The signature promised an image the reader could not decode; the bytes still show.
        if (std::optional<TextEncoding> encoding = sniffTextEncoding(byteSpan(block), wholeFile))
            showText(*encoding, failure);
        else
            showBytes(failure);
        return;
    }
    if (guess.kind == ContentKind::Text)
        showText(guess.encoding, {});
    else
        showBytes({});
}

bool ViewerWindow::showImage(std::string_view format, QString& failure)
{
    QImageReader reader(m_file.path());
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) {
        failure = QStringLiteral("Not shown as a %1 image: %2").arg(fromView(format), reader.errorString());
        return false;
    }
    m_imageView = new ImageView(std::move(image));
    setCentralWidget(m_imageView);
    connect(m_imageView, &ImageView::displayChanged, this, &ViewerWindow::updateImageStatus);
    updateImageStatus();
    return true;
}

void ViewerWindow::showText(TextEncoding encoding, const QString& note)
{
    const QByteArray bytes = m_file.read(0, std::min(m_file.size(), TextShownLimit));
    m_textView = new TextView(decodeText(bytes, encoding));
    setCentralWidget(m_textView);
    QStringList notes{note};
    if (m_file.size() > TextShownLimit)
        notes << QStringLiteral("Only the first %1 MiB are shown.").arg(TextShownLimit / (1024 * 1024));
    notes.removeAll(QString());
    setStatus(QStringLiteral("Text, %1").arg(fromView(encodingName(encoding))),
              notes.join(QStringLiteral("    ")));
}

void ViewerWindow::showBytes(const QString& note)
{
    m_hexView = new HexView(m_file);
    setCentralWidget(m_hexView);
    setStatus(QStringLiteral("Binary, shown in hex"), note);
}

void ViewerWindow::updateImageStatus()
{
    const QImage& image = m_imageView->image();
    const QString size = QStringLiteral("Image, %1 x %2 pixels").arg(image.width()).arg(image.height());
    const QString shown =
        m_imageView->fitsToWindow()
            ? QStringLiteral("fitted at %1% (Z: actual size)").arg(qRound(m_imageView->scale() * 100))
            : QStringLiteral("actual size (Z: fit to window)");
    setStatus(size, shown);
}

void ViewerWindow::setStatus(const QString& description, const QString& note)
{
    QString text = QString::fromStdString(formatThousands(static_cast<uint64_t>(m_file.size()))) +
                   QStringLiteral(" bytes    ") + description;
    if (!note.isEmpty())
        text += QStringLiteral("    ") + note;
    m_status->setText(text);
}

} // namespace quarvo::viewer
