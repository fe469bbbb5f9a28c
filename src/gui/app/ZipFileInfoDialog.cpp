#include "gui/app/ZipFileInfoDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace quarvo::gui {

ZipFileInfoDialog::ZipFileInfoDialog(const ZipFileInfo& info, QWidget* parent) : QDialog(parent)
{
    const bool tar = info.kind == ArchiveInfoKind::Tar;
    const QString kind = tar ? QStringLiteral("TAR") : QStringLiteral("ZIP");
    setWindowTitle(kind + QStringLiteral(" File Info"));
    auto* fields = new QFormLayout;
    auto addField = [&](const QString& label, const std::string& value) {
        auto* text = new QLabel(QString::fromStdString(value), this);
        text->setTextFormat(Qt::PlainText);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        fields->addRow(label, text);
    };
    addField(kind + QStringLiteral(" File Name:"), info.fileName);
    addField(kind + QStringLiteral(" File Size:"), info.fileSize);
    addField(QStringLiteral("Date/Time of ") + kind + QStringLiteral(" File:"), info.dateTime);
    addField(QStringLiteral("Num Files in ") + kind + QStringLiteral(" File:"), info.fileCount);
    addField(QStringLiteral("Total Size Uncompressed:"), info.totalUncompressed);
    addField(QStringLiteral("Total Size Compressed:"), info.totalCompressed);
    addField(QStringLiteral("Total Compression Percentage:"), info.percentage);

    auto* commentLabel = new QLabel(QStringLiteral("ZIP File &Comments:"), this);
    auto* comment = new QPlainTextEdit(QString::fromStdString(info.comment), this);
    comment->setReadOnly(true);
    comment->setMinimumSize(420, 100);
    commentLabel->setBuddy(comment);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(commentLabel);
    layout->addWidget(comment, 1);
    layout->addWidget(buttons);
    // A TAR archive has no comment to show.
    commentLabel->setVisible(!tar);
    comment->setVisible(!tar);
}

} // namespace quarvo::gui
