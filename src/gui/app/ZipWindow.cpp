#include "gui/app/ZipWindow.h"

#include "core/app/CommandIds.h"
#include "core/app/WindowTitle.h"
#include "core/documents/ZipDocument.h"
#include "core/framework/View.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingView.h"

#include <QVBoxLayout>

#include <array>

namespace quarvo::gui {

namespace {

// The archive's own commands that this window offers; the add, extract, view and conversion
// families join as their dialogs arrive.
constexpr std::array documentCommands = {CommandId::Refresh, CommandId::Info, CommandId::DeleteZipFile};

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
    return m_zip && (isDocumentCommand(id) || m_pane->handlesCommand(id));
}

bool ZipWindow::isCommandEnabled(int id) const
{
    if (!m_zip)
        return false;
    if (isDocumentCommand(id))
        return m_zip->isCommandEnabled(id).value_or(false);
    return m_pane->isCommandEnabled(id);
}

std::optional<bool> ZipWindow::commandCheck(int id) const
{
    if (!m_zip || isDocumentCommand(id))
        return std::nullopt;
    return m_pane->commandCheck(id);
}

void ZipWindow::runCommand(int id)
{
    if (!m_zip)
        return;
    switch (id) {
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
    default:
        m_pane->runCommand(id);
        emit commandStatesChanged();
    }
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
