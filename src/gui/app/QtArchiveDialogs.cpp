#include "gui/app/QtArchiveDialogs.h"

#include "core/ui/DialogResult.h"
#include "gui/app/ZipFileInfoDialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvo::gui {

int QtArchiveDialogs::editAddFiles(AddFilesDialogValues& values)
{
    return m_fileDialogs.editAddFiles ? m_fileDialogs.editAddFiles(values, m_parent) : DialogResult::Cancel;
}

int QtArchiveDialogs::editFileList(FileListDialogValues& values)
{
    return m_fileDialogs.editFileList ? m_fileDialogs.editFileList(values, m_parent) : DialogResult::Cancel;
}

int QtArchiveDialogs::editExtract(ExtractDialogValues& values)
{
    return m_fileDialogs.editExtract ? m_fileDialogs.editExtract(values, m_parent) : DialogResult::Cancel;
}

int QtArchiveDialogs::editCheckOut(CheckOutDialogValues& values)
{
    return m_fileDialogs.editCheckOut ? m_fileDialogs.editCheckOut(values, m_parent) : DialogResult::Cancel;
}

int QtArchiveDialogs::editComment(std::string& comment)
{
    QDialog dialog(m_parent);
    dialog.setWindowTitle(QStringLiteral("ZIP File Comment"));
    auto* text = new QPlainTextEdit(QString::fromStdString(comment), &dialog);
    text->setMinimumSize(420, 160);
    auto* ok = new QPushButton(QStringLiteral("&Ok"), &dialog);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addLayout(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return DialogResult::Cancel;
    comment = text->toPlainText().toStdString();
    return DialogResult::Ok;
}

void QtArchiveDialogs::showZipFileInfo(const ZipFileInfo& info)
{
    ZipFileInfoDialog dialog(info, m_parent);
    dialog.exec();
}

} // namespace quarvo::gui
