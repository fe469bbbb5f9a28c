#include "gui/jobs/ZipJobWindow.h"

#include "gui/dialogs/OptionLists.h"
#include "gui/dialogs/ZipOptionsDialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace quarvo::gui {

namespace {

QStringList zipActionNames()
{
    return {QStringLiteral("Add Files"),         QStringLiteral("Update Files"),
            QStringLiteral("Freshen Files"),     QStringLiteral("Move Files"),
            QStringLiteral("Move/Update Files"), QStringLiteral("Move/Freshen Files")};
}

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QComboBox* listOf(const QStringList& items, const char* name, QWidget* parent)
{
    auto* list = named(new QComboBox(parent), name);
    list->addItems(items);
    return list;
}

} // namespace

ZipJobWindow::ZipJobWindow(ZipJobDocument& document, UserInterface& ui, QWidget* parent)
    : JobWindow(document, ui, parent),
      m_addNewerFiles(named(new QCheckBox(QStringLiteral("Add Files Dated From :"), this), "addNewerFiles")),
      m_date(named(new QLineEdit(this), "date")),
      m_backupEntireDrive(named(new QCheckBox(QStringLiteral("Backup Entire Drive"), this), "backupEntireDrive")),
      m_editComment(named(new QCheckBox(QStringLiteral("Edit Comment"), this), "editZipComment")),
      m_spanDisks(listOf(spanDiskNames(), "spanDisks", this)),
      m_comment(named(new QPlainTextEdit(this), "comment"))
{
    auto* systemFiles = named(new QCheckBox(QStringLiteral("Include System Files"), this), "includeSystemHidden");
    auto* oldAsLatest = named(new QCheckBox(QStringLiteral("Old As Latest"), this), "oldAsLatest");
    auto* recurse = named(new QCheckBox(QStringLiteral("&Recurse Subdirectories"), this), "recurseSubdirs");
    auto* storePath = named(new QCheckBox(QStringLiteral("Store &Path"), this), "storePath");
    auto* action = listOf(zipActionNames(), "action", this);
    auto* method = listOf(compressionMethodNames(), "compMethod", this);
    auto* password = named(new QLineEdit(this), "password");
    password->setEchoMode(QLineEdit::Password);
    auto* tempFile = named(new QLineEdit(this), "tempFilePath");
    auto* directory = named(new QLineEdit(this), "directory");
    auto* exclude = named(new QLineEdit(this), "exclude");
    auto* include = named(new QLineEdit(this), "include");
    auto* zipFile = named(new QLineEdit(this), "zipFile");
    auto* browse = named(new QPushButton(QStringLiteral("Browse..."), this), "browse");

    m_bindings.check(m_addNewerFiles, &ZipJob::addNewerFiles);
    m_bindings.check(m_backupEntireDrive, &ZipJob::backupEntireDrive);
    m_bindings.check(m_editComment, &ZipJob::editZipComment);
    m_bindings.check(systemFiles, &ZipJob::includeSystemHidden);
    m_bindings.check(oldAsLatest, &ZipJob::oldAsLatest);
    m_bindings.check(recurse, &ZipJob::recurseSubdirs);
    m_bindings.check(storePath, &ZipJob::storePath);
    m_bindings.list(action, &ZipJob::action);
    m_bindings.list(method, &ZipJob::compMethod);
    m_bindings.list(m_spanDisks, &ZipJob::spanDisks);
    m_bindings.text(m_date, &ZipJob::date);
    m_bindings.text(password, &ZipJob::password);
    m_bindings.text(tempFile, &ZipJob::tempFilePath);
    m_bindings.text(directory, &ZipJob::directory);
    m_bindings.text(exclude, &ZipJob::exclude);
    m_bindings.text(include, &ZipJob::include);
    m_bindings.text(zipFile, &ZipJob::zipFile);
    m_bindings.lines(m_comment, &ZipJob::comment);

    auto* archive = new QHBoxLayout;
    archive->addWidget(zipFile, 1);
    archive->addWidget(browse);
    auto* dated = new QHBoxLayout;
    dated->addWidget(m_addNewerFiles);
    dated->addWidget(m_date, 1);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("ZIP File:"), archive);
    fields->addRow(QStringLiteral("ZIP From Directory:"), directory);
    fields->addRow(QStringLiteral("Include File List:"), include);
    fields->addRow(QStringLiteral("Exclude File List:"), exclude);
    fields->addRow(QStringLiteral("&Command:"), action);
    fields->addRow(QStringLiteral("Compression &Method :"), method);
    fields->addRow(QStringLiteral("Span Disk Options :"), m_spanDisks);
    fields->addRow(dated);
    fields->addRow(QStringLiteral("Password:"), password);
    fields->addRow(QStringLiteral("Temp File :"), tempFile);

    auto* boxes = new QGridLayout;
    boxes->addWidget(recurse, 0, 0);
    boxes->addWidget(storePath, 0, 1);
    boxes->addWidget(systemFiles, 1, 0);
    boxes->addWidget(oldAsLatest, 1, 1);
    boxes->addWidget(m_backupEntireDrive, 2, 0);
    boxes->addWidget(m_editComment, 2, 1);

    auto* form = new QWidget;
    auto* layout = new QVBoxLayout(form);
    layout->addLayout(fields);
    layout->addLayout(boxes);
    layout->addWidget(new QLabel(QStringLiteral("ZIP Comment :"), form));
    layout->addWidget(m_comment, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(form);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    coupleRecurseAndStorePath(recurse, storePath);
    connect(m_spanDisks, &QComboBox::currentIndexChanged, this, [this] { updateEnabledControls(); });
    connect(m_addNewerFiles, &QCheckBox::toggled, this, [this] { updateEnabledControls(); });
    connect(m_editComment, &QCheckBox::toggled, this, [this] { updateEnabledControls(); });
    connect(browse, &QPushButton::clicked, this, [this, zipFile] { browseForArchive(zipFile); });
    loadForm();
}

void ZipJobWindow::loadForm()
{
    m_bindings.load(job().job());
    updateEnabledControls();
}

void ZipJobWindow::storeForm()
{
    job().adopt(m_bindings.store(job().job()));
}

// Enabling follows the controls; what a disabled control holds is kept and saved as it is.
void ZipJobWindow::updateEnabledControls()
{
    m_backupEntireDrive->setEnabled(m_spanDisks->currentIndex() != 0);
    m_date->setEnabled(m_addNewerFiles->isChecked());
    m_comment->setEnabled(m_editComment->isChecked());
}

} // namespace quarvo::gui
