#include "gui/app/ZipFileInfoDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace quarvo::gui {

ZipFileInfoDialog::ZipFileInfoDialog(const ZipFileInfo& info, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("ZIP File Info"));
    auto* fields = new QFormLayout;
    auto addField = [&](const char* label, const std::string& value) {
        auto* text = new QLabel(QString::fromStdString(value), this);
        text->setTextFormat(Qt::PlainText);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        fields->addRow(QString::fromLatin1(label), text);
    };
    addField("ZIP File Name:", info.fileName);
    addField("ZIP File Size:", info.fileSize);
    addField("Date/Time of ZIP File:", info.dateTime);
    addField("Num Files in ZIP File:", info.fileCount);
    addField("Total Size Uncompressed:", info.totalUncompressed);
    addField("Total Size Compressed:", info.totalCompressed);
    addField("Total Compression Percentage:", info.percentage);

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
}

} // namespace quarvo::gui
