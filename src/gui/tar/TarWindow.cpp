#include "gui/tar/TarWindow.h"

#include "core/app/CommandIds.h"
#include "core/app/WindowTitle.h"
#include "core/framework/View.h"
#include "core/tar/TarDocument.h"
#include "core/tar/TarExtractCommand.h"
#include "gui/app/OpenEntryCommands.h"
#include "gui/listing/ListingModel.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingSelection.h"
#include "gui/listing/ListingView.h"

#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace quarvo::gui {

namespace {

// The archive's own commands that a TAR window offers, besides the entry commands (view, run, check
// out, show parent). Nothing adds to or deletes from a TAR archive.
constexpr std::array documentCommands = {
    CommandId::Refresh,        CommandId::Info,       CommandId::DeleteZipFile, CommandId::Extract,
    CommandId::ExtractUpdate,  CommandId::ExtractFreshen, CommandId::ExtractNew, CommandId::TestIntegrity,
};

} // namespace

TarWindow::TarWindow(TarDocument& document, AppSettings& settings, QWidget* parent)
    : DocumentWindow(document, parent), m_tar(&document), m_source(document),
      m_pane(new ListingPane(m_source, settings, this))
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

TarWindow::~TarWindow()
{
    releaseDocument();
}

void TarWindow::releaseDocument()
{
    if (m_tar)
        m_pane->listing().releaseSource();
    m_tar = nullptr;
    DocumentWindow::releaseDocument();
}

QString TarWindow::titleText() const
{
    if (!m_tar)
        return {};
    return QString::fromStdString(
        archiveWindowTitle(m_tar->title(), m_tar->isZipInZip(), m_pane->listing().filter()));
}

const SummaryProvider* TarWindow::summaryProvider() const
{
    return m_tar ? m_pane : nullptr;
}

bool TarWindow::isDocumentCommand(int id) const
{
    return std::find(documentCommands.begin(), documentCommands.end(), id) != documentCommands.end();
}

bool TarWindow::handlesCommand(int id) const
{
    return m_tar && (isDocumentCommand(id) || isEntryCommand(id) || m_pane->handlesCommand(id));
}

bool TarWindow::isCommandEnabled(int id) const
{
    if (!m_tar)
        return false;
    if (CommandId::isExtractCommand(id))
        return !m_tar->entries().empty();
    if (isEntryCommand(id))
        return isEntryCommandEnabled(*m_tar, id);
    if (isDocumentCommand(id))
        return m_tar->isCommandEnabled(id).value_or(false);
    return m_pane->isCommandEnabled(id);
}

std::optional<bool> TarWindow::commandCheck(int id) const
{
    if (!m_tar || isDocumentCommand(id) || isEntryCommand(id))
        return std::nullopt;
    return m_pane->commandCheck(id);
}

std::optional<CommandTarget::CommandWords> TarWindow::commandWords(int id) const
{
    switch (id) {
    case CommandId::DeleteZipFile:
        return CommandWords{QStringLiteral("&Delete TAR File..."), QKeySequence(QStringLiteral("Ctrl+D"))};
    case CommandId::TestIntegrity:
        return CommandWords{QStringLiteral("&Test TAR File Integrity"), {}};
    default:
        return std::nullopt;
    }
}

void TarWindow::runCommand(int id)
{
    if (!m_tar)
        return;
    if (isEntryCommand(id)) {
        // Closing an updated item re-reads the archive, which may fail and close the document with
        // this window.
        runEntryCommand(*m_tar, *this, m_pane->listing(), id);
        if (m_tar)
            emit commandStatesChanged();
        return;
    }
    if (CommandId::isExtractCommand(id)) {
        (void)extractTarEntries(*m_tar, id, ListingSelection(m_pane->listing()));
        return;
    }
    switch (id) {
    case CommandId::Refresh:
        // A failed re-read closes the document, and with it this window.
        (void)m_tar->reload();
        return;
    case CommandId::Info:
        m_tar->showInfo();
        return;
    case CommandId::DeleteZipFile:
        (void)m_tar->deleteArchive();
        return;
    default:
        m_pane->runCommand(id);
        emit commandStatesChanged();
    }
}

ListingPrintout TarWindow::listingPrintout() const
{
    ListingPrintout printout{PrintedListingKind::Tar, m_tar->path(), {}, {}};
    std::span<ZipEntry* const> rows = m_pane->listing().listingModel().rows();
    printout.rows.assign(rows.begin(), rows.end());
    return printout;
}

void TarWindow::onDocumentUpdate(View*, int hint)
{
    if (hint == UpdateHint::ContentsRebuilt) {
        emit titleChanged();
        emit commandStatesChanged();
    }
}

} // namespace quarvo::gui
