#include "gui/dropcompress/DropCompressOffer.h"

#include "core/dialogs/ArchiveFileFilters.h"
#include "core/dialogs/DroppedFiles.h"
#include "core/documents/DroppedFilesAdd.h"
#include "core/documents/ZipDocument.h"
#include "core/ui/DialogResult.h"
#include "gui/app/DocumentWindow.h"
#include "gui/app/MainWindow.h"
#include "gui/app/OptionsDialogSet.h"
#include "gui/app/ZipApplication.h"
#include "gui/dropcompress/DropCompressDialog.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <filesystem>

namespace quarvo::gui {

DropCompressOffer::DropCompressOffer(ZipApplication& application) : m_application(application) {}

std::vector<DropTarget> DropCompressOffer::targets() const
{
    std::vector<DropTarget> targets;
    for (Document* document : m_application.documents().documents()) {
        auto* zip = dynamic_cast<ZipDocument*>(document);
        targets.push_back(
            {document, document->path(), zip != nullptr, zip && zip->archive().onRemovableDrive});
    }
    return targets;
}

Document* DropCompressOffer::activeDocument() const
{
    DocumentWindow* window = m_application.mainWindow()->activeDocumentWindow();
    return window && window->hasDocument() ? &window->document() : nullptr;
}

Document* DropCompressOffer::createArchive()
{
    // Only the new, empty archive: the program's New ZIP would go on to its add dialog and delete
    // the archive again when that is cancelled.
    return m_application.newDocumentOfKind(".zip");
}

Document* DropCompressOffer::openArchive()
{
    Document* last = nullptr;
    for (const std::string& path : m_application.userInterface().chooseFilesToOpen(openArchiveRequest())) {
        if (Document* opened = m_application.openDocumentWithWindow(path))
            last = opened;
    }
    return last;
}

void DropCompressOffer::showDocument(Document* document)
{
    std::vector<DocumentWindow*> windows = m_application.mainWindow()->windowsOf(*document);
    if (!windows.empty())
        m_application.mainWindow()->mdiArea()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(windows.front()->parentWidget()));
}

bool DropCompressOffer::offer(const std::string& archivePath, const std::vector<std::string>& paths)
{
    const std::vector<std::string> lines = filesToCompressLines(paths, [](const std::string& path) {
        std::error_code error;
        return std::filesystem::is_directory(path, error);
    });
    Document* initial = activeDocument();
    if (!archivePath.empty())
        initial = m_application.openDocumentWithWindow(archivePath);

    DropCompressDialog::Services services;
    services.targets = [this] { return targets(); };
    services.createArchive = [this] { return createArchive(); };
    services.openArchive = [this] { return openArchive(); };
    services.showDocument = [this](Document* document) { showDocument(document); };
    services.optionsDialog = m_application.optionsDialogs().zip();
    DropCompressDialog dialog(lines, m_application.settings(), m_application.userInterface(), services,
                              initial, m_application.mainWindow());
    if (dialog.exec() != DialogResult::Ok)
        return true;
    auto* zip = dynamic_cast<ZipDocument*>(dialog.targetDocument());
    const std::optional<int> command = addCommandAt(dialog.action());
    if (zip && command)
        addDroppedFiles(*zip, *command, dialog.fileList());
    return true;
}

} // namespace quarvo::gui
