#include "gui/dialogs/FileListDialog.h"

#include "core/dialogs/FileListLines.h"
#include "core/ui/DialogResult.h"
#include "gui/dialogs/DirectoryTree.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>

#include <algorithm>

namespace quarvo::gui {

namespace {

constexpr const char* AllFiles = "*.*";

std::string startDirectory(const std::string& zipFrom)
{
    return zipFrom.empty() ? QDir::currentPath().toStdString() : zipFrom;
}

bool onSameVolume(const QString& a, const QString& b)
{
    return QStorageInfo(a).rootPath() == QStorageInfo(b).rootPath();
}

QListWidget* makeLineList(QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return list;
}

} // namespace

FileListDialog::FileListDialog(const FileListDialogValues& values, UserInterface& ui, QWidget* parent)
    : CentredDialog(parent), m_values(values),
      m_editor(ui, startDirectory(values.zipFromDirectory), values.includeNames, values.excludeNames),
      m_appliedFilter(QString::fromLatin1(AllFiles)), m_lastCheckedFilter(m_appliedFilter),
      m_zipFrom(new QLabel(this)), m_currentDirectory(new QLabel(this)), m_tree(new DirectoryTree(this)),
      m_files(makeLineList(this)), m_mountPoints(new MountPointList(this)),
      m_filter(new QLineEdit(m_appliedFilter, this)),
      m_fullPath(new QCheckBox(QStringLiteral("Full Path"), this)), m_includeList(makeLineList(this)),
      m_excludeList(makeLineList(this)),
      m_addIncludeFiles(new QPushButton(QStringLiteral("&Add Files"), this)),
      m_addIncludeFilter(new QPushButton(QStringLiteral("Add &Filter"), this)),
      m_deleteInclude(new QPushButton(QStringLiteral("&Delete"), this)),
      m_addExcludeFiles(new QPushButton(QStringLiteral("&Add Files"), this)),
      m_addExcludeFilter(new QPushButton(QStringLiteral("Add &Filter"), this)),
      m_deleteExclude(new QPushButton(QStringLiteral("&Delete"), this)),
      m_expand(new QPushButton(QStringLiteral("&Expand"), this)),
      m_execute(new QPushButton(QStringLiteral("E&xecute"), this))
{
    setWindowTitle(values.title.empty() ? QStringLiteral("Add To File")
                                        : QString::fromStdString(values.title));
    // Shown in lower case; the lines are still built from the directory as it is spelt.
    m_zipFrom->setText(QString::fromStdString(m_editor.zipFromDirectory()).toLower());
    m_zipFrom->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_currentDirectory->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* zipFromCaption = new QLabel(QStringLiteral("&ZIP From:"), this);
    zipFromCaption->setBuddy(m_zipFrom);
    auto* filterCaption = new QLabel(QStringLiteral("&Filter:"), this);
    filterCaption->setBuddy(m_filter);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterCaption);
    filterRow->addWidget(m_filter, 1);
    filterRow->addWidget(m_expand);

    m_tree->setMinimumWidth(220);
    m_files->setMinimumWidth(220);
    m_mountPoints->setMaximumHeight(m_mountPoints->fontMetrics().height() * 5);
    auto* browser = new QGridLayout;
    browser->setColumnStretch(0, 1);
    browser->setColumnStretch(1, 1);
    browser->setRowStretch(2, 1);
    // The caption and the directory it names read as one line.
    auto* zipFromRow = new QHBoxLayout;
    zipFromRow->addWidget(zipFromCaption);
    zipFromRow->addWidget(m_zipFrom, 1);
    browser->addLayout(zipFromRow, 0, 0, 1, 2);
    browser->addWidget(m_currentDirectory, 1, 0, 1, 2);
    browser->addWidget(m_tree, 2, 0);
    browser->addWidget(m_files, 2, 1);
    browser->addWidget(m_mountPoints, 3, 0);
    browser->addLayout(filterRow, 3, 1);
    browser->addWidget(m_fullPath, 4, 1);

    auto linePanel = [this](const QString& caption, QListWidget* list, QPushButton* files,
                            QPushButton* filter, QPushButton* remove) {
        auto* panel = new QVBoxLayout;
        auto* label = new QLabel(caption, this);
        label->setBuddy(list);
        panel->addWidget(label);
        panel->addWidget(list, 1);
        auto* buttons = new QHBoxLayout;
        for (QPushButton* button : {files, filter, remove})
            buttons->addWidget(button);
        panel->addLayout(buttons);
        return panel;
    };
    auto* lists = new QVBoxLayout;
    lists->addLayout(linePanel(QStringLiteral("&Include Files:"), m_includeList, m_addIncludeFiles,
                               m_addIncludeFilter, m_deleteInclude));
    lists->addLayout(linePanel(QStringLiteral("&Exclude Files:"), m_excludeList, m_addExcludeFiles,
                               m_addExcludeFilter, m_deleteExclude));

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    // The ZIP Options dialog is opened before this one; the button stays as a hidden, disabled slot.
    auto* options = new QPushButton(QStringLiteral("&Options..."), this);
    options->setEnabled(false);
    options->setVisible(false);
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(m_execute);
    closing->addWidget(cancel);

    auto* top = new QHBoxLayout;
    top->addLayout(browser, 3);
    top->addLayout(lists, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(closing);
    m_execute->setDefault(true);
    resize(900, 560);

    connect(m_tree, &DirectoryTree::directoryChanged, this, &FileListDialog::directoryChanged);
    connect(m_mountPoints, &MountPointList::mountPointChosen, this, &FileListDialog::browseTo);
    connect(m_expand, &QPushButton::clicked, this, &FileListDialog::expand);
    connect(m_fullPath, &QCheckBox::toggled, this, [this](bool checked) { m_editor.setFullPath(checked); });
    connect(m_files, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_editor.addFiles(List::Include, {item->text().toStdString()});
        showLines(List::Include);
    });
    connect(m_addIncludeFiles, &QPushButton::clicked, this, [this] { addSelectedFiles(List::Include); });
    connect(m_addIncludeFilter, &QPushButton::clicked, this, [this] { addFilter(List::Include); });
    connect(m_deleteInclude, &QPushButton::clicked, this, [this] { deleteSelectedLines(List::Include); });
    connect(m_addExcludeFiles, &QPushButton::clicked, this, [this] { addSelectedFiles(List::Exclude); });
    connect(m_addExcludeFilter, &QPushButton::clicked, this, [this] { addFilter(List::Exclude); });
    connect(m_deleteExclude, &QPushButton::clicked, this, [this] { deleteSelectedLines(List::Exclude); });
    connect(m_execute, &QPushButton::clicked, this, &FileListDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &FileListDialog::reject);
    m_filter->installEventFilter(this);

    showLines(List::Include);
    showLines(List::Exclude);
    browseTo(QString::fromStdString(m_editor.zipFromDirectory()));
}

void FileListDialog::browseTo(const QString& directory)
{
    if (m_tree->setDirectory(directory))
        directoryChanged(m_tree->directory());
}

void FileListDialog::directoryChanged(const QString& directory)
{
    const QString zipFrom = QString::fromStdString(m_editor.zipFromDirectory());
    m_editor.setCurrentDirectory(directory.toStdString(), onSameVolume(directory, zipFrom));
    m_currentDirectory->setText(directory);
    listFiles();
}

void FileListDialog::listFiles()
{
    m_files->clear();
    const QDir directory(m_tree->directory());
    const std::string filter = m_appliedFilter.toStdString();
    for (const QString& name :
         directory.entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase)) {
        if (filterListsFile(filter, name.toStdString()))
            m_files->addItem(name);
    }
}

void FileListDialog::applyFilter(const QString& filter)
{
    m_appliedFilter = filter;
    m_lastCheckedFilter = filter;
    listFiles();
}

void FileListDialog::expand()
{
    const QString filter = m_filter->text();
    m_lastCheckedFilter = filter;
    if (!m_editor.checkFilter(filter.toStdString())) {
        m_filter->setFocus();
        return;
    }
    applyFilter(filter);
}

bool FileListDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving the filter field checks a changed filter once; checking it again on every focus change
    // would bring the message back each time the message box itself takes the focus.
    // Leaving it for a button that checks the filter itself would show the same message twice.
    if (watched == m_filter && event->type() == QEvent::FocusOut && m_filter->text() != m_lastCheckedFilter &&
        !filterButtonTakesFocus())
        expand();
    return CentredDialog::eventFilter(watched, event);
}

bool FileListDialog::filterButtonTakesFocus() const
{
    // The focus widget is already the new one while the old one is told it lost the focus.
    const QWidget* next = QApplication::focusWidget();
    return next == m_expand || next == m_addIncludeFilter || next == m_addExcludeFilter;
}

void FileListDialog::addFilter(List list)
{
    const QString filter = m_filter->text();
    m_lastCheckedFilter = filter;
    if (m_editor.addFilter(list, filter.toStdString()) == FileListEditor::FilterOutcome::Illegal)
        return;
    applyFilter(filter);
    showLines(list);
}

void FileListDialog::addSelectedFiles(List list)
{
    std::vector<std::pair<int, std::string>> selected;
    for (QListWidgetItem* item : m_files->selectedItems())
        selected.emplace_back(m_files->row(item), item->text().toStdString());
    std::sort(selected.begin(), selected.end());
    std::vector<std::string> names;
    for (auto& [row, name] : selected)
        names.push_back(std::move(name));
    m_editor.addFiles(list, names);
    showLines(list);
}

void FileListDialog::deleteSelectedLines(List list)
{
    QListWidget* widget = widgetOf(list);
    std::vector<int> rows;
    for (QListWidgetItem* item : widget->selectedItems())
        rows.push_back(widget->row(item));
    widget->setUpdatesEnabled(false);
    m_editor.deleteLines(list, rows);
    showLines(list);
    widget->setUpdatesEnabled(true);
}

void FileListDialog::showLines(List list)
{
    QListWidget* widget = widgetOf(list);
    widget->clear();
    for (const std::string& line : m_editor.lines(list))
        widget->addItem(QString::fromStdString(line));
    widget->scrollToBottom();
}

QListWidget* FileListDialog::widgetOf(List list) const
{
    return list == List::Include ? m_includeList : m_excludeList;
}

void FileListDialog::accept()
{
    m_values.includeNames = m_editor.lines(List::Include);
    m_values.excludeNames = m_editor.lines(List::Exclude);
    done(DialogResult::Ok);
}

void FileListDialog::reject()
{
    done(DialogResult::Cancel);
}

} // namespace quarvo::gui
