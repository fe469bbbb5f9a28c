#include "gui/dropcompress/DropCompressDialog.h"

#include "core/settings/AppSettings.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "gui/dialogs/OptionLists.h"
#include "gui/dialogs/ZipOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvo::gui {

namespace {

constexpr int PasswordLimit = 25;
// Wide enough for a path of an ordinary depth; longer lines scroll.
constexpr int FilesListMinimumWidth = 320;

} // namespace

DropCompressDialog::DropCompressDialog(std::vector<std::string> lines, AppSettings& settings,
                                       UserInterface& ui, Services services, Document* initialTarget,
                                       QWidget* parent)
    : CentredDialog(parent), m_lines(std::move(lines)), m_settings(settings), m_ui(ui),
      m_services(std::move(services)), m_spanType(settings.zipOptions.spanDiskType),
      m_files(new QListWidget(this)), m_targetList(new QComboBox(this)), m_command(new QComboBox(this)),
      m_method(new QComboBox(this)), m_span(new QComboBox(this)),
      m_spanLabel(new QLabel(QStringLiteral("&Span Disks:"), this)),
      m_recurse(new QCheckBox(QStringLiteral("&Recurse Subdirectories"), this)),
      m_storePath(new QCheckBox(QStringLiteral("Store &Path"), this)), m_password(new QLineEdit(this)),
      m_new(new QPushButton(QStringLiteral("&New..."), this)),
      m_open(new QPushButton(QStringLiteral("&Open..."), this)),
      m_options(new QPushButton(QStringLiteral("&Options..."), this)),
      m_execute(new QPushButton(QStringLiteral("&Execute"), this))
{
    setWindowTitle(QStringLiteral("Drag & Drop Files To Compress"));
    m_command->addItems(addOperationNames());
    m_method->addItems(compressionMethodNames());
    m_span->addItems(spanDiskNames());
    m_spanLabel->setBuddy(m_span);
    m_password->setMaxLength(PasswordLimit);
    m_password->setEchoMode(QLineEdit::Password);
    m_options->setEnabled(m_services.optionsDialog != nullptr);
    m_execute->setDefault(true);

    // Filled once; it cannot be edited, and scrolls sideways to its widest line.
    for (const std::string& line : m_lines)
        m_files->addItem(QString::fromStdString(line));
    m_files->setSelectionMode(QAbstractItemView::NoSelection);
    m_files->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_files->setMinimumWidth(FilesListMinimumWidth);

    auto* filesColumn = new QVBoxLayout;
    filesColumn->addWidget(new QLabel(QStringLiteral("Files to Compress:"), this));
    filesColumn->addWidget(m_files, 1);

    auto* targetGroup = new QGroupBox(QStringLiteral("Choose File to Compress to"), this);
    auto* targetLayout = new QHBoxLayout(targetGroup);
    targetLayout->addWidget(m_targetList, 1);
    targetLayout->addWidget(m_new);
    targetLayout->addWidget(m_open);

    auto* choices = new QFormLayout;
    choices->addRow(QStringLiteral("&Command:"), m_command);
    choices->addRow(QStringLiteral("Compression &Method:"), m_method);
    choices->addRow(m_spanLabel, m_span);
    choices->addRow(m_recurse);
    choices->addRow(m_storePath);
    choices->addRow(QStringLiteral("Password:"), m_password);

    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_execute, cancel, m_options})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(targetGroup);
    right->addLayout(choices);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(filesColumn, 1);
    layout->addLayout(right);
    layout->addLayout(buttons);

    coupleRecurseAndStorePath(m_recurse, m_storePath);
    connect(m_targetList, &QComboBox::activated, this, &DropCompressDialog::targetChosen);
    connect(m_new, &QPushButton::clicked, this, [this] {
        if (m_services.createArchive)
            adopt(m_services.createArchive());
    });
    connect(m_open, &QPushButton::clicked, this, [this] {
        if (m_services.openArchive)
            adopt(m_services.openArchive());
    });
    connect(m_options, &QPushButton::clicked, this, &DropCompressDialog::showOptions);
    connect(m_execute, &QPushButton::clicked, this, &DropCompressDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &DropCompressDialog::reject);

    loadOptionControls();
    m_command->setCurrentIndex(0);
    fillTargets(initialTarget);
}

const DropTarget* DropCompressDialog::chosenTarget() const
{
    for (const DropTarget& target : m_targets) {
        if (target.document == m_target && m_target)
            return &target;
    }
    return nullptr;
}

void DropCompressDialog::fillTargets(Document* select)
{
    m_targets = m_services.targets ? m_services.targets() : std::vector<DropTarget>{};
    m_targetList->clear();
    m_target = nullptr;
    for (const DropTarget& target : m_targets) {
        m_targetList->addItem(QString::fromStdString(target.path));
        if (target.document == select && select) {
            m_targetList->setCurrentIndex(m_targetList->count() - 1);
            m_target = select;
        }
    }
    if (!m_target)
        m_targetList->setCurrentIndex(-1);
    updateSpanControls();
}

void DropCompressDialog::targetChosen(int index)
{
    m_target = index >= 0 && size_t(index) < m_targets.size() ? m_targets[size_t(index)].document : nullptr;
    updateSpanControls();
    if (m_target && m_services.showDocument)
        m_services.showDocument(m_target);
}

void DropCompressDialog::adopt(Document* document)
{
    if (!document)
        return;
    fillTargets(document);
    if (m_services.showDocument)
        m_services.showDocument(document);
}

void DropCompressDialog::updateSpanControls()
{
    const DropTarget* target = chosenTarget();
    const bool offered = target && target->isZipArchive && target->onRemovableDrive;
    m_span->setItemText(0, offered ? spanDiskNames().front() : QStringLiteral("(For Removeable Media Only)"));
    m_span->setEnabled(offered);
    m_spanLabel->setEnabled(offered);
    if (offered)
        selectIndex(m_span, m_spanType);
    else
        m_span->setCurrentIndex(0);
}

void DropCompressDialog::loadOptionControls()
{
    const ZipOptions& options = m_settings.zipOptions;
    m_recurse->setChecked(options.recurse != 0);
    m_storePath->setChecked(options.storePath != 0);
    selectIndex(m_method, options.compressionFactor);
    updateSpanControls();
}

void DropCompressDialog::showOptions()
{
    if (!m_services.optionsDialog)
        return;
    // The dialog's values go into the settings before the options open, and stay there even when
    // the options are cancelled: the add runs with the settings' values.
    ZipOptions& options = m_settings.zipOptions;
    options.recurse = m_recurse->isChecked() ? 1 : 0;
    options.storePath = m_storePath->isChecked() ? 1 : 0;
    options.compressionFactor = selectedIndexOr(m_method, options.compressionFactor);
    options.password = m_password->text().toStdString();
    if (m_span->isEnabled())
        m_spanType = selectedIndexOr(m_span, m_spanType);
    options.spanDiskType = m_spanType;
    const int result = m_services.optionsDialog->exec();
    if (result != DialogResult::Ok && result != DialogResult::Save)
        return;
    const DropTarget* target = chosenTarget();
    m_spanType = target && target->onRemovableDrive ? options.spanDiskType : 0;
    m_password->setText(QString::fromStdString(options.password));
    loadOptionControls();
}

void DropCompressDialog::accept()
{
    m_action = m_command->currentIndex() < 0 ? 0 : m_command->currentIndex();
    const DropTarget* target = chosenTarget();
    if (!target) {
        m_ui.showMessage({"Select a file to compress to.", MessageButtons::Ok, MessageIcon::None, 0, {}});
        return;
    }
    // Judged by what the document is, not by its name: a TAR archive or a job renamed ".zip"
    // cannot take files, and a ZIP archive named otherwise can.
    if (!target->isZipArchive) {
        m_ui.showMessage(
            {"Files may be added to ZIP files only.", MessageButtons::Ok, MessageIcon::None, 0, {}});
        return;
    }
    done(DialogResult::Ok);
}

} // namespace quarvo::gui
