#include "gui/app/ArchiveWindow.h"

#include "core/app/CommandIds.h"
#include "core/app/WindowTitle.h"
#include "core/documents/ArchiveDocument.h"
#include "core/framework/Document.h"
#include "core/framework/View.h"
#include "gui/app/OpenEntryCommands.h"
#include "gui/listing/ListingModel.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingView.h"

#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace quarvo::gui {

namespace {

// The archive's own commands that every archive window offers, besides the entry commands and
// the extract family.
constexpr std::array archiveCommands = {CommandId::Refresh, CommandId::Info, CommandId::DeleteZipFile};

} // namespace

ArchiveWindow::ArchiveWindow(ArchiveDocument& archive, std::unique_ptr<ListingSource> source,
                             AppSettings& settings, QWidget* parent)
    : DocumentWindow(archive.asDocument(), parent), m_archive(&archive), m_source(std::move(source)),
      m_pane(new ListingPane(*m_source, settings, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pane);
    setFocusProxy(m_pane);

    connect(m_pane, &ListingPane::statusTextRequested, this, &DocumentWindow::statusTextRequested);
    connect(&m_pane->listing(), &ListingView::filterChanged, this, &DocumentWindow::titleChanged);
    connect(&m_pane->listing(), &ListingView::displayModeChanged, this, &DocumentWindow::commandStatesChanged);
    // A double click or Enter views the caret row's entry.
    connect(m_pane, &ListingPane::viewEntryRequested, this, [this] { runCommand(CommandId::ViewFile); });
    connectEnterToView(m_pane->listing(), [this] { runCommand(CommandId::ViewFile); });
}

ArchiveWindow::~ArchiveWindow()
{
    releaseDocument();
}

void ArchiveWindow::releaseDocument()
{
    if (m_archive)
        m_pane->listing().releaseSource();
    m_archive = nullptr;
    DocumentWindow::releaseDocument();
}

QString ArchiveWindow::titleText() const
{
    if (!m_archive)
        return {};
    return QString::fromStdString(archiveWindowTitle(m_archive->asDocument().title(), m_archive->isZipInZip(),
                                                     m_pane->listing().filter()));
}

const SummaryProvider* ArchiveWindow::summaryProvider() const
{
    return m_archive ? m_pane : nullptr;
}

bool ArchiveWindow::isArchiveCommand(int id) const
{
    return std::find(archiveCommands.begin(), archiveCommands.end(), id) != archiveCommands.end() ||
           isKindCommand(id);
}

bool ArchiveWindow::handlesCommand(int id) const
{
    return m_archive && (isArchiveCommand(id) || CommandId::isExtractCommand(id) || isEntryCommand(id) ||
                         m_pane->handlesCommand(id));
}

bool ArchiveWindow::isCommandEnabled(int id) const
{
    if (!m_archive)
        return false;
    if (CommandId::isExtractCommand(id))
        return !m_archive->entries().empty();
    if (isEntryCommand(id))
        return isEntryCommandEnabled(*m_archive, id);
    if (isArchiveCommand(id))
        return m_archive->isCommandEnabled(id).value_or(false);
    return m_pane->isCommandEnabled(id);
}

std::optional<bool> ArchiveWindow::commandCheck(int id) const
{
    if (!m_archive || isArchiveCommand(id) || CommandId::isExtractCommand(id) || isEntryCommand(id))
        return std::nullopt;
    return m_pane->commandCheck(id);
}

void ArchiveWindow::runCommand(int id)
{
    if (!m_archive)
        return;
    if (isEntryCommand(id)) {
        // A re-read after a changed entry went back may fail and close the document with this window.
        runEntryCommand(*m_archive, *this, m_pane->listing(), id);
        if (m_archive)
            emit commandStatesChanged();
        return;
    }
    if (CommandId::isExtractCommand(id)) {
        runExtractCommand(id);
        return;
    }
    if (isKindCommand(id)) {
        runKindCommand(id);
        return;
    }
    switch (id) {
    case CommandId::Refresh:
        // A failed re-read closes the document, and with it this window.
        (void)m_archive->reload();
        return;
    case CommandId::Info:
        m_archive->showInfo();
        return;
    case CommandId::DeleteZipFile:
        (void)m_archive->deleteArchive();
        return;
    default:
        m_pane->runCommand(id);
        emit commandStatesChanged();
    }
}

ListingPrintout ArchiveWindow::listingPrintout() const
{
    ListingPrintout printout = printoutHeading();
    std::span<ZipEntry* const> rows = m_pane->listing().listingModel().rows();
    printout.rows.assign(rows.begin(), rows.end());
    return printout;
}

void ArchiveWindow::onDocumentUpdate(View*, int hint)
{
    // A re-read may have renamed nothing, but the listing and its window were rebuilt: the title
    // and the command states follow.
    if (hint == UpdateHint::ContentsRebuilt) {
        emit titleChanged();
        emit commandStatesChanged();
    }
}

} // namespace quarvo::gui
