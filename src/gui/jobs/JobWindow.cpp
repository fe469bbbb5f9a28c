#include "gui/jobs/JobWindow.h"

#include "core/app/CommandIds.h"
#include "core/jobs/JobDocument.h"
#include "core/text/PathParts.h"
#include "core/ui/UserInterface.h"

#include <QLineEdit>

#include <algorithm>
#include <array>

namespace quarvo::gui {

namespace {

constexpr std::array JobCommands{CommandId::Save, CommandId::SaveAs, CommandId::ExecuteJob};

FileDialogRequest browseRequest(const std::string& current)
{
    FileDialogRequest request;
    request.title = "Browse for ZIP File";
    request.filters = {{"ZIP File (*.zip,*.exe)", {"*.exe", "*.zip"}}, {"All (*.*)", {"*"}}};
    request.initialDirectory = std::string(directoryPart(current));
    request.fileName = std::string(fileNamePart(current));
    return request;
}

} // namespace

JobWindow::JobWindow(JobDocument& document, UserInterface& ui, QWidget* parent)
    : DocumentWindow(document, parent), m_job(&document), m_ui(ui)
{
}

JobWindow::~JobWindow()
{
    releaseDocument();
}

void JobWindow::releaseDocument()
{
    m_job = nullptr;
    DocumentWindow::releaseDocument();
}

bool JobWindow::handlesCommand(int id) const
{
    return m_job && std::find(JobCommands.begin(), JobCommands.end(), id) != JobCommands.end();
}

bool JobWindow::isCommandEnabled(int id) const
{
    return handlesCommand(id);
}

void JobWindow::runCommand(int id)
{
    if (!m_job)
        return;
    switch (id) {
    case CommandId::Save:
        (void)m_job->save();
        break;
    case CommandId::SaveAs:
        (void)m_job->saveAs();
        break;
    case CommandId::ExecuteJob:
        // The engine session has told the user how the run went.
        (void)m_job->execute();
        break;
    default:
        return;
    }
    emit commandStatesChanged();
}

std::optional<CommandTarget::CommandWords> JobWindow::commandWords(int id) const
{
    switch (id) {
    case CommandId::Save:
        return CommandWords{QStringLiteral("&Save Config File"), QKeySequence(QStringLiteral("Ctrl+S"))};
    case CommandId::SaveAs:
        return CommandWords{QStringLiteral("Save Config File &As..."), {}};
    case CommandId::Close:
        return CommandWords{QStringLiteral("&Close Config File"), {}};
    default:
        return std::nullopt;
    }
}

void JobWindow::onDocumentUpdate(View*, int hint)
{
    if (!m_job)
        return;
    switch (hint) {
    case JobFormHint::Load:
        loadForm();
        return;
    case JobFormHint::Store:
        storeForm();
        return;
    case UpdateHint::TitleChanged:
        emit titleChanged();
        return;
    default:
        return;
    }
}

void JobWindow::browseForArchive(QLineEdit* zipFile)
{
    if (!m_job)
        return;
    storeForm();
    std::vector<std::string> chosen = m_ui.chooseFilesToOpen(browseRequest(zipFile->text().toStdString()));
    if (chosen.empty() || !m_job)
        return;
    zipFile->setText(QString::fromStdString(chosen.front()));
    storeForm();
    m_job->setModified(true);
}

} // namespace quarvo::gui
