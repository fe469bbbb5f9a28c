#pragma once

#include "core/app/CommandLine.h"
#include "core/app/ExecuteCommandDispatcher.h"
#include "core/app/ScratchDirectory.h"
#include "core/tar/LinkedTarEngine.h"
#include "core/documents/OpenItemList.h"
#include "core/engine/CompressionEngines.h"
#include "core/framework/DocumentManager.h"
#include "core/settings/AppSettings.h"
#include "gui/app/CommandRouter.h"
#include "gui/app/DocumentKindBindings.h"
#include "gui/app/QtArchiveDialogs.h"
#include "gui/app/QtUserInterface.h"
#include "gui/launch/SystemLaunchServices.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quarvo::gui {

class DocumentWindow;
class DropCompressOffer;
class InstanceServer;
class MainWindow;
class OpenEntryCommands;
class OptionsDialogSet;
class PrintCommands;
class SearchCommands;

// Where the application finds its files; the defaults are the real ones, tests point them at
// temporary places.
struct StartupEnvironment {
    QStringList arguments;        // the program's arguments, without its own name
    QString executablePath;       // its base name names the instance socket
    std::string profilePath;      // empty: the user's profile file
    std::string programDirectory; // empty: the executable's directory
    std::string runtimeDirectory; // empty: the user's run-time directory
    std::string cacheDirectory;   // empty: the user's cache directory (unpacked streams)
    bool showBanner = true;
};

// The application: start-up, the application-wide commands, the execute requests of other
// processes, the documents with their windows, and the exit step.
class ZipApplication : public QObject, public ExecuteCommandTarget {
    Q_OBJECT
public:
    // The real engines unless others are given (the tests' fakes). Programs for viewed and run
    // entries are started through launchServices; without them nothing can be started.
    explicit ZipApplication(StartupEnvironment environment, DocumentKindBindings bindings = builtInDocumentKindBindings(),
                            std::unique_ptr<CompressionEngines> engines = nullptr,
                            std::unique_ptr<SystemLaunchServices> launchServices = nullptr);
    ~ZipApplication() override;

    // The start-up sequence. Returns nothing when the program goes on running, or the exit code when
    // it is done already: the request was handed to a running instance, "--dde" was sent, or a job
    // ran from the command line and the program closed.
    std::optional<int> start();
    // The exit step, after the main window closed: writes the settings kept at exit, removes the
    // scratch directory. Returns the process exit code.
    int finish();

    // One execute string from another process; true when it was handled.
    bool handleExecuteString(const std::string& text);

    // Opens path as a document with its window, or brings an open one forward; null when it failed.
    Document* openDocumentWithWindow(const std::string& path);
    // A new untitled document of the kind claiming extension, with its window, and nothing more;
    // null when none was made (the user cancelled naming it, or no such kind opens).
    Document* newDocumentOfKind(const std::string& extension);
    // Close All: the walk of every document; true when all closed.
    bool closeAllDocuments();
    // Exit: Close All, then the main window closes when every document closed.
    void exit();

    // Shows the drag-and-drop compress dialog for an archive (empty for dropped files) and the paths
    // to compress; true once it was shown. The program's own is DropCompressOffer; tests may set
    // another. Without one, nothing is offered.
    using CompressOffer =
        std::function<bool(const std::string& archivePath, const std::vector<std::string>& paths)>;
    void setCompressOffer(CompressOffer offer) { m_compressOffer = std::move(offer); }

    MainWindow* mainWindow() const { return m_mainWindow.get(); }
    DocumentManager& documents() { return m_documents; }
    AppSettings& settings() { return *m_settings; }
    CommandRouter& commands() { return m_commands; }
    QtUserInterface& userInterface() { return m_ui; }
    QtArchiveDialogs& archiveDialogs() { return m_archiveDialogs; }
    OptionsDialogSet& optionsDialogs() { return *m_optionsDialogs; }
    InstanceServer* instanceServer() const { return m_server; }
    // Print, Print Preview and Print Setup with the shared printer; null until the main window exists.
    PrintCommands* printCommands() const { return m_printCommands.get(); }
    // Search ZIP Files; null until the main window exists.
    SearchCommands* searchCommands() const { return m_searchCommands.get(); }
    QString instanceSocketPath() const { return m_socketPath; }
    const ScratchDirectory* scratchDirectory() const { return m_scratch ? &*m_scratch : nullptr; }
    const ScratchDirectory* unpackDirectory() const { return m_unpack ? &*m_unpack : nullptr; }

    // ExecuteCommandTarget
    Document* openDocument(const std::string& path) override;
    bool isDocumentOpen(const std::string& path) const override;
    void showMainWindowIfHidden() override;
    int runJob(Document& document, JobKind kind) override;
    void closeDocument(Document& document) override;
    bool offerFilesForCompression(const std::string& archivePath, const std::string& fileList) override;
    void startExtract(Document& document) override;

private:
    std::optional<int> sendToRunningInstance();
    std::optional<int> forwardToRunningInstance(const CommandLineRequest& request);
    void setUpScratchDirectory();
    void setUpUnpackDirectory();
    void registerDocumentKinds(bool jobs);
    void createMainWindow();
    void startInstanceServer();
    void loadSettings();
    std::optional<int> runCommandLine(const CommandLineRequest& request);
    void registerCommands();
    void registerDocumentCommands();
    void registerHelpCommands();
    void registerMailCommands();
    void registerPrintCommands();
    void registerSearchCommands();
    bool kindOpens(const DocumentKind* kind) const;
    bool anyKindOpens() const;
    DocumentWindow* createWindowFor(Document& document);
    void newZip();
    void openWithDialog();
    void closeWindow(DocumentWindow* window);
    bool askRunningEngineToStop();
    bool mayCloseEveryDocument();
    void showHelp();
    void sendMail(const std::vector<std::string>& paths);

    StartupEnvironment m_environment;
    DocumentKindBindings m_bindings;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<OptionsDialogSet> m_optionsDialogs;
    // Declared before the documents, which use them until the last one is gone.
    QtUserInterface m_ui;
    QtArchiveDialogs m_archiveDialogs;
    OpenItemList m_openItems;
    std::unique_ptr<CompressionEngines> m_engines;
    LinkedTarEngine m_tarEngine;
    // Before the documents: closing one cleans up after its viewed entries through it.
    std::unique_ptr<OpenEntryCommands> m_entryCommands;
    DocumentManager m_documents;
    CommandRouter m_commands;
    std::unique_ptr<ApplicationContext> m_context;
    // Before the main window, whose closing still asks the print commands whether they are enabled.
    std::unique_ptr<PrintCommands> m_printCommands;
    std::unique_ptr<SearchCommands> m_searchCommands;
    std::unique_ptr<MainWindow> m_mainWindow;
    InstanceServer* m_server = nullptr;
    QString m_socketPath;
    std::string m_runtimeDirectory;
    std::optional<ScratchDirectory> m_scratch;
    std::optional<ScratchDirectory> m_unpack;
    std::unique_ptr<DropCompressOffer> m_dropCompress;
    CompressOffer m_compressOffer;
    // Answers every question of a "-e" run, which nobody watches, in place of the dialogs.
    std::unique_ptr<UserInterface> m_unattendedAnswers;
    bool m_mailAvailable = false;
    bool m_finished = false;
};

} // namespace quarvo::gui
