#include "gui/dialogs/ExtractFilesDialog.h"

#include "core/settings/AppSettings.h"
#include "core/ui/DialogResult.h"
#include "gui/dialogs/DirectoryChooser.h"
#include "gui/dialogs/OptionLists.h"
#include "gui/dialogs/UnzipOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quarvo::gui {

ExtractFilesDialog::ExtractFilesDialog(const ExtractDialogValues& values, UserInterface& ui, QWidget* parent)
    : CentredDialog(parent), m_values(values), m_ui(ui), m_command(new QComboBox(this)),
      m_allFiles(new QRadioButton(QStringLiteral("&All Files"), this)),
      m_selectedFiles(new QRadioButton(QStringLiteral("&All Selected Files"), this)),
      m_filters(new QRadioButton(QStringLiteral("&Filters:"), this)), m_filter(new QLineEdit(this)),
      m_overwrite(new QCheckBox(QStringLiteral("&Overwrite Files"), this)),
      m_recreate(new QCheckBox(QStringLiteral("Recreate &Directories"), this)),
      m_password(new QLineEdit(this)),
      m_directory(new DirectoryChooser(QStringLiteral("&Extract To Directory:"), this)),
      m_execute(new QPushButton(QStringLiteral("&Execute"), this)),
      m_options(new QPushButton(QStringLiteral("Options..."), this))
{
    setWindowTitle(values.title.empty() ? QStringLiteral("Extract Files")
                                        : QString::fromStdString(values.title));
    m_command->addItems({QStringLiteral("Extract Files"), QStringLiteral("Update Files"),
                         QStringLiteral("Freshen Files"), QStringLiteral("Test Zip File Integrity")});
    m_password->setEchoMode(QLineEdit::Password);
    m_options->setEnabled(false);

    auto* which = new QGroupBox(QStringLiteral("Files To Extract"), this);
    auto* whichLayout = new QVBoxLayout(which);
    for (QWidget* widget : std::initializer_list<QWidget*>{m_allFiles, m_selectedFiles, m_filters, m_filter})
        whichLayout->addWidget(widget);

    auto* choices = new QFormLayout;
    choices->addRow(QStringLiteral("&Command:"), m_command);
    choices->addRow(which);
    choices->addRow(m_overwrite);
    choices->addRow(m_recreate);
    choices->addRow(QStringLiteral("Password:"), m_password);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_execute, cancel, help, m_options})
        buttons->addWidget(button);
    buttons->addStretch();
    m_execute->setDefault(true);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_directory, 1);
    layout->addLayout(choices);
    layout->addLayout(buttons);

    connect(m_execute, &QPushButton::clicked, this, &ExtractFilesDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ExtractFilesDialog::reject);
    connect(help, &QPushButton::clicked, this, &ExtractFilesDialog::helpRequested);
    connect(m_options, &QPushButton::clicked, this, &ExtractFilesDialog::showOptions);

    if (!m_values.selectionAvailable)
        m_values.filesToExtract = FilesToExtract::All;
    m_selectedFiles->setEnabled(m_values.selectionAvailable);
    loadControls();
    m_directory->setHistory(values.directoryHistory);
    m_directory->setDirectory(QString::fromStdString(values.destinationDirectory));
}

void ExtractFilesDialog::setOptionsDialogs(UnzipOptionsDialog* unzip, UntarOptionsDialog* untar,
                                           AppSettings* settings)
{
    m_unzipOptions = unzip;
    m_untarOptions = untar;
    m_settings = settings;
    const bool tar = m_values.archiveKind == ArchiveKind::Tar;
    m_options->setEnabled(settings && (tar ? untar != nullptr : unzip != nullptr));
}

void ExtractFilesDialog::loadControls()
{
    selectIndex(m_command, m_values.operationIndex);
    m_allFiles->setChecked(m_values.filesToExtract == FilesToExtract::All);
    m_selectedFiles->setChecked(m_values.filesToExtract == FilesToExtract::Selected);
    m_filters->setChecked(m_values.filesToExtract == FilesToExtract::Typed);
    m_filter->setText(QString::fromStdString(m_values.fileSpecification));
    m_overwrite->setChecked(m_values.overwrite);
    m_recreate->setChecked(m_values.recreate);
    m_password->setText(QString::fromStdString(m_values.password));
}

void ExtractFilesDialog::takeOverControls()
{
    m_values.operationIndex = selectedIndexOr(m_command, m_values.operationIndex);
    if (m_allFiles->isChecked())
        m_values.filesToExtract = FilesToExtract::All;
    else if (m_selectedFiles->isChecked())
        m_values.filesToExtract = FilesToExtract::Selected;
    else if (m_filters->isChecked())
        m_values.filesToExtract = FilesToExtract::Typed;
    // There is no selection to take: the typed specification is what is left.
    if (m_values.filesToExtract == FilesToExtract::Selected && !m_values.selectionAvailable)
        m_values.filesToExtract = FilesToExtract::Typed;
    m_values.fileSpecification = m_filter->text().toStdString();
    m_values.overwrite = m_overwrite->isChecked();
    m_values.recreate = m_recreate->isChecked();
    m_values.password = m_password->text().toStdString();
}

void ExtractFilesDialog::showOptions()
{
    if (!m_settings)
        return;
    takeOverControls();
    int result = DialogResult::Cancel;
    if (m_values.archiveKind == ArchiveKind::Tar) {
        if (!m_untarOptions)
            return;
        UntarOptions& options = m_settings->untarOptions;
        options.tarOverwrite = m_values.overwrite ? 1 : 0;
        options.tarRecreate = m_values.recreate ? 1 : 0;
        result = m_untarOptions->exec();
        if (result != DialogResult::Ok && result != DialogResult::Save)
            return;
        m_values.overwrite = options.tarOverwrite != 0;
        m_values.recreate = options.tarRecreate != 0;
    } else {
        if (!m_unzipOptions)
            return;
        UnzipOptions& options = m_settings->unzipOptions;
        options.overwrite = m_values.overwrite ? 1 : 0;
        options.recreate = m_values.recreate ? 1 : 0;
        options.password = m_values.password;
        result = m_unzipOptions->exec();
        if (result != DialogResult::Ok && result != DialogResult::Save)
            return;
        m_values.overwrite = options.overwrite != 0;
        m_values.recreate = options.recreate != 0;
        m_values.password = options.password;
    }
    loadControls();
}

void ExtractFilesDialog::accept()
{
    takeOverControls();
    if (m_directory->takeDirectory(m_ui, m_values.destinationDirectory, m_values.directoryHistory))
        done(DialogResult::Ok);
}

void ExtractFilesDialog::reject()
{
    done(DialogResult::Cancel);
}

} // namespace quarvo::gui
