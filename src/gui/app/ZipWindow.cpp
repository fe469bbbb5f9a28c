#include "gui/app/ZipWindow.h"

#include "core/app/CommandIds.h"
#include "core/app/WindowTitle.h"
#include "core/documents/AddFilesCommand.h"
#include "core/documents/ConvertCommand.h"
#include "core/documents/DeleteEntriesCommand.h"
#include "core/documents/ExtractCommand.h"
#include "core/documents/RepairCommand.h"
#include "core/documents/ZipDocument.h"
#include "core/framework/View.h"
#include "gui/app/OpenEntryCommands.h"
#include "gui/listing/ListingModel.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingSelection.h"
#include "gui/listing/ListingView.h"

#include <QVBoxLayout>

#include <array>

namespace quarvo::gui {

namespace {

// The archive's own commands that this window offers, besides the entry commands (view, run, check
// out, show parent).
constexpr std::array documentCommands = {
    CommandId::Refresh,      CommandId::Info,          CommandId::DeleteZipFile,
    CommandId::AddFiles,     CommandId::UpdateFiles,   CommandId::FreshenFiles,
    CommandId::MoveFiles,    CommandId::MoveUpdateFiles, CommandId::MoveFreshenFiles,
    CommandId::DeleteEntries, CommandId::Extract,      CommandId::ExtractUpdate,
    CommandId::ExtractFreshen, CommandId::ExtractNew,  CommandId::TestIntegrity,
    CommandId::ConvertToZip, CommandId::ConvertToDosExe, CommandId::ConvertToWindowsExe,
    CommandId::ConvertToLinuxExtractor, CommandId::FixZipFile,
};

} // namespace

ZipWindow::ZipWindow(ZipDocument& document, AppSettings& settings, QWidget* parent)
    : DocumentWindow(document, parent), m_zip(&document), m_source(document),
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

ZipWindow::~ZipWindow()
{
    releaseDocument();
}

void ZipWindow::releaseDocument()
{
    if (m_zip)
        m_pane->listing().releaseSource();
    m_zip = nullptr;
    DocumentWindow::releaseDocument();
}

QString ZipWindow::titleText() const
{
    if (!m_zip)
        return {};
    return QString::fromStdString(
        archiveWindowTitle(m_zip->title(), m_zip->isZipInZip(), m_pane->listing().filter()));
}

const SummaryProvider* ZipWindow::summaryProvider() const
{
    return m_zip ? m_pane : nullptr;
}

bool ZipWindow::isDocumentCommand(int id) const
{
    return std::find(documentCommands.begin(), documentCommands.end(), id) != documentCommands.end();
}

bool ZipWindow::handlesCommand(int id) const
{
    return m_zip && (isDocumentCommand(id) || isEntryCommand(id) || m_pane->handlesCommand(id));
}

bool ZipWindow::isCommandEnabled(int id) const
{
    if (!m_zip)
        return false;
    // Delete tells the user to select entries when none are; the extract family needs entries.
    if (id == CommandId::DeleteEntries)
        return true;
    if (CommandId::isExtractCommand(id))
        return !m_zip->entries().empty();
    if (isEntryCommand(id))
        return isEntryCommandEnabled(*m_zip, id);
    if (isDocumentCommand(id))
        return m_zip->isCommandEnabled(id).value_or(false);
    return m_pane->isCommandEnabled(id);
}

std::optional<bool> ZipWindow::commandCheck(int id) const
{
    if (!m_zip || isDocumentCommand(id) || isEntryCommand(id))
        return std::nullopt;
    return m_pane->commandCheck(id);
}

bool ZipWindow::runCommandWithResult(int id)
{
    if (!CommandId::isAddCommand(id))
        return DocumentWindow::runCommandWithResult(id);
    if (!handlesCommand(id) || !isCommandEnabled(id))
        return false;
    // A failed re-read after the write closes the document, and with it this window.
    bool added = addFiles(*m_zip, id);
    if (m_zip)
        emit commandStatesChanged();
    return added;
}

void ZipWindow::runCommand(int id)
{
    if (!m_zip)
        return;
    if (CommandId::isAddCommand(id)) {
        (void)runCommandWithResult(id);
        return;
    }
    if (isEntryCommand(id)) {
        // A re-read after a changed entry went back may fail and close the document with this window.
        runEntryCommand(*m_zip, *this, m_pane->listing(), id);
        if (m_zip)
            emit commandStatesChanged();
        return;
    }
    if (CommandId::isExtractCommand(id)) {
        // 3100 has no operation: the document's guard refuses it without a word.
        if (id == CommandId::ExtractNew) {
            (void)m_zip->canRunCommand(id);
            return;
        }
        (void)extractEntries(*m_zip, id, ListingSelection(m_pane->listing()));
        return;
    }
    switch (id) {
    case CommandId::DeleteEntries:
        // The re-read that follows may close the document, and with it this window.
        deleteSelectedEntries(*m_zip, ListingSelection(m_pane->listing()));
        if (m_zip)
            emit commandStatesChanged();
        return;
    case CommandId::Refresh:
        // A failed re-read closes the document, and with it this window.
        (void)m_zip->reload();
        return;
    case CommandId::Info:
        m_zip->showInfo();
        return;
    case CommandId::DeleteZipFile:
        (void)m_zip->deleteArchive();
        return;
    case CommandId::ConvertToZip:
    case CommandId::ConvertToDosExe:
    case CommandId::ConvertToWindowsExe:
    case CommandId::ConvertToLinuxExtractor:
        // The archive may be the target, or fail its re-read: either closes this window.
        (void)convertDocument(*m_zip, id);
        return;
    case CommandId::FixZipFile:
        // A failed re-read after the repair closes the document, and with it this window.
        (void)repairDocument(*m_zip);
        return;
    default:
        m_pane->runCommand(id);
        emit commandStatesChanged();
    }
}

ListingPrintout ZipWindow::listingPrintout() const
{
    ListingPrintout printout{PrintedListingKind::Zip, m_zip->path(), m_zip->archive().archiveComment, {}};
    std::span<ZipEntry* const> rows = m_pane->listing().listingModel().rows();
    printout.rows.assign(rows.begin(), rows.end());
    return printout;
}

void ZipWindow::onDocumentUpdate(View*, int hint)
{
    // A re-read may have renamed nothing, but the listing and its window were rebuilt: the title
    // and the command states follow.
    if (hint == UpdateHint::ContentsRebuilt) {
        emit titleChanged();
        emit commandStatesChanged();
    }
}

} // namespace quarvo::gui
