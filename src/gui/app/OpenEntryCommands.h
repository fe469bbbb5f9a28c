#pragma once

#include "core/documents/ApplicationWindows.h"
#include "core/documents/EntryLaunchServices.h"
#include "gui/app/SystemProgramLauncher.h"

#include <QObject>

#include <memory>
#include <string>

namespace quarvo {
class ArchiveEntrySource;
class OpenItemList;
class View;
} // namespace quarvo

namespace quarvo::gui {

class ListingView;
class SystemLaunchServices;
class ZipApplication;

// Viewing, running and checking out entries, wired into the Qt program: the core's launcher over
// the system's services, the application's windows as the core sees them (nested archives open in
// windows of their own, the main window steps aside for a started program), and the open-item list's
// handlers. The end of a watched process reaches the document that owns its item through the event
// loop, never from inside the code that noticed it.
class OpenEntryCommands : public QObject, public ApplicationWindows {
    Q_OBJECT
  public:
    OpenEntryCommands(ZipApplication& application, OpenItemList& openItems,
                      std::unique_ptr<SystemLaunchServices> services);
    ~OpenEntryCommands() override;

    // Where viewed entries are extracted: the instance's scratch directory, once it exists.
    void setScratchDirectory(std::string directory) { m_services.scratchDirectory = std::move(directory); }
    EntryLaunchServices& services() { return m_services; }

    // ApplicationWindows
    Document* openDocumentWithWindow(const std::string& path) override;
    void closeDocument(Document& document) override;
    bool bringViewForward(View& view) override;
    void raiseMainWindow() override;
    void leaveAlwaysOnTop() override;

  private:
    void deliverProcessEnd(int64_t processId);

    ZipApplication& m_application;
    OpenItemList& m_openItems;
    SystemProgramLauncher m_launcher;
    EntryLaunchServices m_services;
};

// The entry commands of an archive window, ZIP or TAR: View File (8055), Run (8054), Check Out (8057)
// and Show Parent (8053).
bool isEntryCommand(int id);
// View, Run and Check Out are always there in an archive window; Show Parent only in a nested one.
bool isEntryCommandEnabled(const ArchiveEntrySource& archive, int id);
// Runs one of them on the listing's caret entry; window is the view recorded for Show Parent. The
// archive may be closed by a failed re-read afterwards.
void runEntryCommand(ArchiveEntrySource& archive, View& window, ListingView& listing, int id);
// Enter on the listing views the caret entry, as a double click does.
void connectEnterToView(ListingView& listing, std::function<void()> view);

} // namespace quarvo::gui
