#include "gui/search/SearchZipDialog.h"

#include "core/app/CancelFlags.h"
#include "core/search/SearchTypes.h"
#include "core/ui/UserInterface.h"
#include "gui/dialogs/DirectoryTree.h"
#include "gui/search/SearchRun.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quarvo::gui {

namespace {

constexpr int KeyWordLimit = 100;
// The path of the archive a results line belongs to: the line shows it with control characters
// escaped, which would not open.
constexpr int ArchivePathRole = Qt::UserRole;
constexpr int LineKindRole = Qt::UserRole + 1;

} // namespace

SearchZipDialog::SearchZipDialog(UserInterface& ui, std::function<void(const std::string&)> openArchive,
                                 QWidget* parent)
    : CentredDialog(parent), m_ui(ui), m_openArchive(std::move(openArchive)), m_keyWord(new QLineEdit(this)),
      m_fileName(new QLineEdit(this)), m_location(new QComboBox(this)),
      m_subdirectories(new QCheckBox(QStringLiteral("Search Su&bdirectories"), this)),
      m_selfExtracting(new QCheckBox(QStringLiteral("Search SelfExtracting ZIP files"), this)),
      m_results(new QListWidget(this)), m_searching(new QLabel(this)),
      m_search(new QPushButton(QStringLiteral("&Search"), this)),
      m_cancelSearch(new QPushButton(QStringLiteral("&Cancel Search"), this)),
      m_open(new QPushButton(QStringLiteral("&Open"), this)),
      m_clear(new QPushButton(QStringLiteral("&Clear"), this)),
      m_close(new QPushButton(QStringLiteral("&Close"), this))
{
    setWindowTitle(QStringLiteral("Search ZIP Files"));
    m_keyWord->setMaxLength(KeyWordLimit);
    m_location->setEditable(true);
    m_location->setInsertPolicy(QComboBox::NoInsert);
    m_results->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_results->setUniformItemSizes(true);
    m_cancelSearch->setEnabled(false);
    m_search->setDefault(true);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Key Word:"), m_keyWord);
    fields->addRow(QStringLiteral("File &Name:"), m_fileName);
    fields->addRow(QStringLiteral("&Location:"), m_location);
    fields->addRow(m_subdirectories);
    fields->addRow(m_selfExtracting);

    auto* results = new QGroupBox(QStringLiteral("Search Results"), this);
    auto* resultsLayout = new QVBoxLayout(results);
    resultsLayout->addWidget(m_results);
    auto* searchingLine = new QHBoxLayout;
    searchingLine->addWidget(new QLabel(QStringLiteral("Searching:"), this));
    searchingLine->addWidget(m_searching, 1);
    m_searching->setTextFormat(Qt::PlainText);
    // A long path must not widen the dialog as the search goes deeper: the line is cut instead.
    m_searching->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    resultsLayout->addLayout(searchingLine);

    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_search, m_cancelSearch, m_open, m_clear, m_close, help})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(results, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    resize(640, 460);

    connect(m_search, &QPushButton::clicked, this, &SearchZipDialog::startSearch);
    connect(m_cancelSearch, &QPushButton::clicked, this, [] { CancelFlags::zipSearch = true; });
    connect(m_open, &QPushButton::clicked, this, &SearchZipDialog::openSelected);
    connect(m_results, &QListWidget::itemDoubleClicked, this, &SearchZipDialog::openSelected);
    connect(m_clear, &QPushButton::clicked, this, &SearchZipDialog::clearResults);
    connect(m_close, &QPushButton::clicked, this, &SearchZipDialog::reject);
    connect(help, &QPushButton::clicked, this, &SearchZipDialog::helpRequested);
}

SearchZipDialog::~SearchZipDialog() = default;

bool SearchZipDialog::isSearching() const
{
    return m_run != nullptr;
}

void SearchZipDialog::showEvent(QShowEvent* event)
{
    // The results of the last opening are gone; the fields keep their values.
    if (!isSearching())
        clearResults();
    fillLocations();
    CentredDialog::showEvent(event);
}

void SearchZipDialog::fillLocations()
{
    // The mount points stand where a drive list would; the text typed stays as it was.
    const QString typed = m_location->currentText();
    m_location->clear();
    MountPointList mountPoints;
    for (int row = 0; row < mountPoints.count(); ++row)
        m_location->addItem(mountPoints.item(row)->text());
    m_location->setCurrentIndex(-1);
    m_location->setEditText(typed);
}

void SearchZipDialog::startSearch()
{
    if (isSearching())
        return;
    SearchCriteria criteria;
    criteria.keyWord = m_keyWord->text().toStdString();
    criteria.fileName = m_fileName->text().toStdString();
    criteria.searchSubdirectories = m_subdirectories->isChecked();
    criteria.searchSelfExtracting = m_selfExtracting->isChecked();
    m_run = std::make_unique<SearchRun>(m_location->currentText(), std::move(criteria));
    connect(
        m_run.get(), &SearchRun::examining, this, [this](const QString& path) { m_searching->setText(path); },
        Qt::QueuedConnection);
    connect(m_run.get(), &SearchRun::found, this, &SearchZipDialog::addLine, Qt::QueuedConnection);
    connect(m_run.get(), &SearchRun::finished, this, &SearchZipDialog::searchEnded, Qt::QueuedConnection);
    setSearching(true);
    m_run->start();
}

void SearchZipDialog::searchEnded()
{
    if (!m_run)
        return;
    m_run->wait();
    m_run.reset();
    setSearching(false);
    // The focus was on a button the search disabled; Enter searches again.
    m_search->setFocus();
    emit searchFinished();
    if (m_closeAfterSearch) {
        m_closeAfterSearch = false;
        CentredDialog::reject();
    }
}

void SearchZipDialog::setSearching(bool searching)
{
    for (QPushButton* button : {m_close, m_open, m_search, m_clear})
        button->setEnabled(!searching);
    m_cancelSearch->setEnabled(searching);
}

void SearchZipDialog::addLine(int kind, const QString& text, const QString& archivePath)
{
    auto* item = new QListWidgetItem(text, m_results);
    item->setData(ArchivePathRole, archivePath);
    item->setData(LineKindRole, kind);
}

void SearchZipDialog::openSelected()
{
    if (isSearching())
        return;
    // In list order, whatever order the lines were selected in.
    for (int row = 0; row < m_results->count(); ++row) {
        QListWidgetItem* item = m_results->item(row);
        if (!item->isSelected())
            continue;
        if (item->text().startsWith(QLatin1Char(' '))) {
            m_ui.showMessage({"Please select the ZIP file to open, not the file in the ZIP file:\n" +
                                  item->text().toStdString(),
                              MessageButtons::Ok,
                              MessageIcon::None,
                              0,
                              {}});
            continue;
        }
        if (m_openArchive)
            m_openArchive(item->data(ArchivePathRole).toString().toStdString());
    }
}

void SearchZipDialog::clearResults()
{
    m_results->clear();
    m_results->horizontalScrollBar()->setValue(0);
}

void SearchZipDialog::reject()
{
    // Escape or the window's close button while the search runs: it is stopped first, and the
    // dialog closes once it has.
    if (isSearching()) {
        m_closeAfterSearch = true;
        m_run->stop();
        return;
    }
    CentredDialog::reject();
}

} // namespace quarvo::gui
