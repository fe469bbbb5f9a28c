#include "gui/dialogs/ZipOptionsDialog.h"

#include "core/settings/AppSettings.h"
#include "gui/dialogs/OptionLists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace quarvo::gui {

void coupleRecurseAndStorePath(QCheckBox* recurse, QCheckBox* storePath)
{
    QObject::connect(recurse, &QCheckBox::clicked, storePath, [storePath](bool checked) {
        if (checked)
            storePath->setChecked(true);
    });
    QObject::connect(storePath, &QCheckBox::clicked, recurse, [recurse](bool checked) {
        if (!checked)
            recurse->setChecked(false);
    });
}

ZipOptionsDialog::ZipOptionsDialog(AppSettings& settings, QWidget* parent)
    : OptionsDialog(settings, QStringLiteral("ZIP Options"), parent), m_method(new QComboBox(this)),
      m_span(new QComboBox(this)), m_addByDate(new QCheckBox(QStringLiteral("Add Files Dated From :"), this)),
      m_date(new QLineEdit(this)), m_password(new QLineEdit(this)), m_encryption(new QComboBox(this)),
      m_storePath(new QCheckBox(QStringLiteral("Store &Path"), this)),
      m_oldAsLatest(new QCheckBox(QStringLiteral("Old As Latest"), this)),
      m_recurse(new QCheckBox(QStringLiteral("&Recurse Subdirectories"), this)),
      m_backup(new QCheckBox(QStringLiteral("Backup Entire Drive"), this)),
      m_editComment(new QCheckBox(QStringLiteral("Edit Comment"), this)),
      m_systemFiles(new QCheckBox(QStringLiteral("Include System Files"), this)),
      m_tempFile(new QLineEdit(this))
{
    m_method->addItems(compressionMethodNames());
    m_span->addItems(spanDiskNames());
    m_password->setEchoMode(QLineEdit::Password);
    m_encryption->addItems(encryptionNames());

    auto* lists = new QFormLayout;
    lists->addRow(QStringLiteral("Compression &Method :"), m_method);
    lists->addRow(QStringLiteral("Span Disk Options :"), m_span);
    auto* dated = new QHBoxLayout;
    dated->addWidget(m_addByDate);
    dated->addWidget(m_date);
    lists->addRow(dated);
    auto* secret = new QHBoxLayout;
    secret->addWidget(m_password);
    auto* encryptionLabel = new QLabel(QStringLiteral("&Encryption :"), this);
    encryptionLabel->setBuddy(m_encryption);
    secret->addWidget(encryptionLabel);
    secret->addWidget(m_encryption);
    lists->addRow(QStringLiteral("Password:"), secret);

    auto* boxes = new QGridLayout;
    boxes->addWidget(m_storePath, 0, 0);
    boxes->addWidget(m_oldAsLatest, 0, 1);
    boxes->addWidget(m_recurse, 1, 0);
    boxes->addWidget(m_backup, 1, 1);
    boxes->addWidget(m_editComment, 2, 0);
    boxes->addWidget(m_systemFiles, 2, 1);

    auto* temp = new QFormLayout;
    temp->addRow(QStringLiteral("Temp File :"), m_tempFile);

    auto* content = new QVBoxLayout;
    content->addLayout(lists);
    content->addLayout(boxes);
    content->addLayout(temp);
    setContent(content);

    coupleRecurseAndStorePath(m_recurse, m_storePath);
    // Enabling follows the selection; the check itself is left as the user set it.
    connect(m_span, &QComboBox::currentIndexChanged, m_backup,
            [this](int index) { m_backup->setEnabled(index != 0); });
}

void ZipOptionsDialog::loadControls()
{
    const ZipOptions& options = m_settings.zipOptions;
    selectIndex(m_method, options.compressionFactor);
    selectIndex(m_span, options.spanDiskType);
    m_addByDate->setChecked(options.addFilesByDate != 0);
    m_date->setText(QString::fromStdString(options.afterDate));
    m_password->setText(QString::fromStdString(options.password));
    selectIndex(m_encryption, options.encryption);
    m_storePath->setChecked(options.storePath != 0);
    m_oldAsLatest->setChecked(options.oldAsLatest != 0);
    m_recurse->setChecked(options.recurse != 0);
    m_backup->setChecked(options.backupEntireDrive != 0);
    m_backup->setEnabled(options.spanDiskType != 0);
    m_editComment->setChecked(options.editComment != 0);
    m_systemFiles->setChecked(options.incSysHiddenFiles != 0);
    m_tempFile->setText(QString::fromStdString(options.tempFilePath));
}

void ZipOptionsDialog::takeOverControls()
{
    ZipOptions& options = m_settings.zipOptions;
    options.compressionFactor = selectedIndexOr(m_method, options.compressionFactor);
    options.spanDiskType = selectedIndexOr(m_span, options.spanDiskType);
    options.addFilesByDate = m_addByDate->isChecked() ? 1 : 0;
    options.afterDate = m_date->text().toStdString();
    options.password = m_password->text().toStdString();
    options.encryption = selectedIndexOr(m_encryption, options.encryption);
    options.storePath = m_storePath->isChecked() ? 1 : 0;
    options.oldAsLatest = m_oldAsLatest->isChecked() ? 1 : 0;
    options.recurse = m_recurse->isChecked() ? 1 : 0;
    options.backupEntireDrive = m_backup->isChecked() ? 1 : 0;
    options.editComment = m_editComment->isChecked() ? 1 : 0;
    options.incSysHiddenFiles = m_systemFiles->isChecked() ? 1 : 0;
    options.tempFilePath = m_tempFile->text().toStdString();
}

void ZipOptionsDialog::saveGroup()
{
    m_settings.saveZipOptions();
}

} // namespace quarvo::gui
