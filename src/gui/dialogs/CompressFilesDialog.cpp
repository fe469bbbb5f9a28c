#include "gui/dialogs/CompressFilesDialog.h"

#include "core/settings/AppSettings.h"
#include "core/ui/DialogResult.h"
#include "gui/dialogs/DirectoryChooser.h"
#include "gui/dialogs/OptionLists.h"
#include "gui/dialogs/ZipOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvo::gui {

CompressFilesDialog::CompressFilesDialog(const AddFilesDialogValues& values, UserInterface& ui,
                                         QWidget* parent)
    : CentredDialog(parent), m_values(values), m_ui(ui), m_command(new QComboBox(this)),
      m_method(new QComboBox(this)), m_span(new QComboBox(this)),
      m_backup(new QCheckBox(QStringLiteral("Backup Entire Drive"), this)),
      m_recurse(new QCheckBox(QStringLiteral("&Recurse Subdirectories"), this)),
      m_storePath(new QCheckBox(QStringLiteral("Store &Path"), this)), m_password(new QLineEdit(this)),
      m_directory(new DirectoryChooser(QStringLiteral("&Compress From Directory:"), this)),
      m_continue(new QPushButton(QStringLiteral("&Continue..."), this)),
      m_options(new QPushButton(QStringLiteral("Options..."), this))
{
    setWindowTitle(values.title.empty() ? QStringLiteral("Compress Files")
                                        : QString::fromStdString(values.title));
    m_command->addItems(addOperationNames());
    m_method->addItems(compressionMethodNames());
    m_span->addItems(spanDiskNames());
    m_password->setEchoMode(QLineEdit::Password);
    m_options->setEnabled(false);

    auto* choices = new QFormLayout;
    choices->addRow(QStringLiteral("&Command:"), m_command);
    choices->addRow(QStringLiteral("Compression &Method:"), m_method);
    auto* spanGroup = new QGroupBox(QStringLiteral("&Span Disks"), this);
    spanGroup->setObjectName(QStringLiteral("spanGroup"));
    auto* spanLayout = new QVBoxLayout(spanGroup);
    spanLayout->addWidget(m_span);
    choices->addRow(spanGroup);
    choices->addRow(m_backup);
    choices->addRow(m_recurse);
    choices->addRow(m_storePath);
    choices->addRow(QStringLiteral("Password:"), m_password);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_continue, cancel, help, m_options})
        buttons->addWidget(button);
    buttons->addStretch();
    m_continue->setDefault(true);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_directory, 1);
    layout->addLayout(choices);
    layout->addLayout(buttons);

    coupleRecurseAndStorePath(m_recurse, m_storePath);
    connect(m_span, &QComboBox::currentIndexChanged, m_backup,
            [this](int index) { m_backup->setEnabled(index >= 1); });
    connect(m_continue, &QPushButton::clicked, this, &CompressFilesDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CompressFilesDialog::reject);
    connect(help, &QPushButton::clicked, this, &CompressFilesDialog::helpRequested);
    connect(m_options, &QPushButton::clicked, this, &CompressFilesDialog::showOptions);

    loadControls();
    m_directory->setHistory(values.directoryHistory);
    m_directory->setDirectory(QString::fromStdString(values.sourceDirectory));
}

void CompressFilesDialog::setOptionsDialog(ZipOptionsDialog* dialog, AppSettings* settings)
{
    m_optionsDialog = dialog;
    m_settings = settings;
    m_options->setEnabled(dialog && settings);
}

bool CompressFilesDialog::spanningOffered() const
{
    return m_values.hasArchive && m_values.archiveOnRemovableDrive && !m_values.archiveIsSelfExtractor;
}

void CompressFilesDialog::loadControls()
{
    selectIndex(m_command, m_values.operationIndex);
    selectIndex(m_method, m_values.compressionFactor);
    m_recurse->setChecked(m_values.recurse);
    m_storePath->setChecked(m_values.storePath);
    m_password->setText(QString::fromStdString(m_values.password));
    m_backup->setChecked(m_values.backupEntireDrive);

    // Without spanning the list says why, in place of the choice.
    auto* spanGroup = findChild<QGroupBox*>(QStringLiteral("spanGroup"));
    while (m_span->count() > spanDiskNames().size())
        m_span->removeItem(0);
    const bool offered = spanningOffered();
    if (!m_values.hasArchive || !m_values.archiveOnRemovableDrive)
        m_span->insertItem(0, QStringLiteral("(For Removeable Media Only)"));
    if (!m_values.hasArchive || m_values.archiveIsSelfExtractor)
        m_span->insertItem(0, QStringLiteral("(For Non Self Extracting ZIPs Only)"));
    if (offered)
        selectIndex(m_span, m_values.spanDiskType);
    else
        m_span->setCurrentIndex(0);
    spanGroup->setEnabled(offered);
    m_span->setEnabled(offered);
    m_backup->setEnabled(offered && m_values.spanDiskType != 0);
}

void CompressFilesDialog::takeOverControls()
{
    m_values.operationIndex = selectedIndexOr(m_command, m_values.operationIndex);
    m_values.compressionFactor = selectedIndexOr(m_method, m_values.compressionFactor);
    m_values.spanDiskType = spanningOffered() ? selectedIndexOr(m_span, m_values.spanDiskType) : 0;
    m_values.backupEntireDrive = m_backup->isChecked();
    m_values.recurse = m_recurse->isChecked();
    m_values.storePath = m_storePath->isChecked();
    m_values.password = m_password->text().toStdString();
}

void CompressFilesDialog::showOptions()
{
    if (!m_optionsDialog || !m_settings)
        return;
    takeOverControls();
    ZipOptions& options = m_settings->zipOptions;
    options.recurse = m_values.recurse ? 1 : 0;
    options.storePath = m_values.storePath ? 1 : 0;
    options.compressionFactor = m_values.compressionFactor;
    options.password = m_values.password;
    options.spanDiskType = m_values.spanDiskType;

    const int result = m_optionsDialog->exec();
    if (result != DialogResult::Ok && result != DialogResult::Save)
        return;
    m_values.recurse = options.recurse != 0;
    m_values.storePath = options.storePath != 0;
    m_values.compressionFactor = options.compressionFactor;
    m_values.password = options.password;
    // Spanning chosen in the options means nothing for an archive that cannot span.
    m_values.spanDiskType = spanningOffered() ? options.spanDiskType : 0;
    loadControls();
}

void CompressFilesDialog::accept()
{
    takeOverControls();
    if (m_directory->takeDirectory(m_ui, m_values.sourceDirectory, m_values.directoryHistory))
        done(DialogResult::Ok);
}

void CompressFilesDialog::reject()
{
    done(DialogResult::Cancel);
}

} // namespace quarvo::gui
