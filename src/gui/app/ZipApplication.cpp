#include "gui/app/ZipApplication.h"

#include "core/app/CancelFlags.h"
#include "core/app/CommandIds.h"
#include "core/app/DocumentKindTable.h"
#include "core/app/ExecuteCommand.h"
#include "core/app/MailAttachments.h"
#include "core/app/UserRuntimeDirectory.h"
#include "core/dialogs/ArchiveFileFilters.h"
#include "core/dialogs/DroppedFiles.h"
#include "core/documents/ArchiveEntrySource.h"
#include "core/engine/LinkedEngines.h"
#include "core/engine/ZipEngineSession.h"
#include "core/jobs/JobRun.h"
#include "core/jobs/UnattendedUserInterface.h"
#include "core/launch/FindOnPath.h"
#include "core/launch/ViewerCheck.h"
#include "core/settings/ExecutableLocation.h"
#include "core/ui/DialogResult.h"
#include "gui/app/AboutDialog.h"
#include "gui/app/DesktopIntegration.h"
#include "gui/app/DialogPalette.h"
#include "gui/app/DocumentWindow.h"
#include "gui/app/InstanceChannel.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ManualLocation.h"
#include "gui/app/OpenEntryCommands.h"
#include "gui/app/OptionsDialogSet.h"
#include "gui/app/PrintCommands.h"
#include "gui/app/ProductInfo.h"
#include "gui/dialogs/CheckOutDialog.h"
#include "gui/dialogs/CompressFilesDialog.h"
#include "gui/dialogs/ExtractFilesDialog.h"
#include "gui/dialogs/FileListDialog.h"
#include "gui/dialogs/UnzipOptionsDialog.h"
#include "gui/dialogs/ZipOptionsDialog.h"
#include "gui/dragout/EntryDragOut.h"
#include "gui/dropcompress/DropCompressOffer.h"
#include "gui/listing/ListingView.h"
#include "gui/search/SearchCommands.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QWhatsThis>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace quarvo::gui {

namespace {

// How long a second start waits for the running instance to take its request.
constexpr int forwardTimeoutMilliseconds = 5000;
// "--dde" waits for the answer, which may come only after the user closed a dialog.
constexpr int executeTimeoutMilliseconds = 120000;

std::string workingDirectory()
{
    return QDir::currentPath().toStdString();
}

// A running instance has a working directory of its own: requests name files by their full path.
std::string absolutePath(const std::string& path)
{
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).string();
    return error ? path : absolute;
}

int screenVerticalDpi()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? int(std::lround(screen->logicalDotsPerInchY())) : SettingsLimits::DefaultVerticalDpi;
}

// The add, file-list and extract dialogs of the dialogs library, each shown modally on the
// window that asked and its accepted values handed back. prepare connects the dialog to the rest of
// the program before it shows.
template <typename Dialog, typename Values>
int runValuesDialog(Values& values, UserInterface& ui, QWidget* parent,
                    const std::function<void(Dialog&)>& prepare = {})
{
    Dialog dialog(values, ui, parent);
    if (prepare)
        prepare(dialog);
    int result = dialog.exec();
    if (result == DialogResult::Ok)
        values = dialog.values();
    return result == DialogResult::Ok ? DialogResult::Ok : DialogResult::Cancel;
}

QtArchiveDialogs::FileDialogs fileDialogs(UserInterface& ui, OptionsDialogSet& options, AppSettings& settings,
                                          std::function<void()> showHelp)
{
    return {
        [&ui, &options, &settings, showHelp](AddFilesDialogValues& values, QWidget* parent) {
            return runValuesDialog<CompressFilesDialog>(values, ui, parent, [&](CompressFilesDialog& dialog) {
                dialog.setOptionsDialog(options.zip(), &settings);
                QObject::connect(&dialog, &CompressFilesDialog::helpRequested, &dialog, showHelp);
            });
        },
        [&ui](FileListDialogValues& values, QWidget* parent) {
            return runValuesDialog<FileListDialog>(values, ui, parent);
        },
        [&ui, &options, &settings, showHelp](ExtractDialogValues& values, QWidget* parent) {
            return runValuesDialog<ExtractFilesDialog>(values, ui, parent, [&](ExtractFilesDialog& dialog) {
                dialog.setOptionsDialogs(options.unzip(), options.untar(), &settings);
                QObject::connect(&dialog, &ExtractFilesDialog::helpRequested, &dialog, showHelp);
            });
        },
        [&ui, showHelp](CheckOutDialogValues& values, QWidget* parent) {
            return runValuesDialog<CheckOutDialog>(values, ui, parent, [&](CheckOutDialog& dialog) {
                QObject::connect(&dialog, &CheckOutDialog::helpRequested, &dialog, showHelp);
            });
        },
    };
}

} // namespace

ZipApplication::ZipApplication(StartupEnvironment environment, DocumentKindBindings bindings,
                               std::unique_ptr<CompressionEngines> engines,
                               std::unique_ptr<SystemLaunchServices> launchServices)
    : m_environment(std::move(environment)), m_bindings(std::move(bindings)),
      m_engines(engines ? std::move(engines) : std::make_unique<LinkedEngines>())
{
    if (m_environment.profilePath.empty() && m_environment.programDirectory.empty())
        m_settings = std::make_unique<AppSettings>();
    else
        m_settings = std::make_unique<AppSettings>(
            m_environment.profilePath.empty() ? AppSettings::defaultProfilePath() : m_environment.profilePath,
            m_environment.programDirectory.empty() ? executableDirectory() : m_environment.programDirectory);
    m_optionsDialogs = std::make_unique<OptionsDialogSet>(*m_settings, [this] { showHelp(); });
    m_context = std::make_unique<ApplicationContext>(ApplicationContext{.settings = *m_settings,
                                                                        .ui = m_ui,
                                                                        .archiveDialogs = m_archiveDialogs,
                                                                        .documents = m_documents,
                                                                        .openItems = m_openItems,
                                                                        .engines = *m_engines,
                                                                        .tarEngine = &m_tarEngine});
    m_entryCommands = std::make_unique<OpenEntryCommands>(*this, m_openItems, std::move(launchServices));
    m_context->entryLaunch = &m_entryCommands->services();
    m_documents.setOpenedListener([this](Document& document) {
        // A copy of an entry opened from inside another archive is no file the user chose.
        if (!document.isNested())
            m_settings->addRecentFile(document.path());
        if (m_mainWindow)
            m_mainWindow->rebuildMenus();
    });
    // However a document comes to close, its windows let go of it first.
    m_documents.setClosingListener([this](Document& document) {
        if (m_mainWindow)
            m_mainWindow->removeWindowsOf(document);
    });
}

ZipApplication::~ZipApplication()
{
    finish();
}

std::optional<int> ZipApplication::start()
{
    if (!m_environment.arguments.isEmpty() && m_environment.arguments.front() == QStringLiteral("--dde"))
        return sendToRunningInstance();

    std::vector<std::string> arguments;
    for (const QString& argument : m_environment.arguments)
        arguments.push_back(argument.toStdString());
    CommandLineRequest request = parseCommandLine(joinArguments(arguments), [](const std::string& path) {
        std::error_code error;
        return std::filesystem::exists(path, error);
    });
    if (request.action == StartupAction::Unregister)
        return unregisterFromDesktopAndReport();
    if (std::optional<int> forwarded = forwardToRunningInstance(request))
        return forwarded;
    if (request.action == StartupAction::RunJob) {
        // Nobody watches: no banner to look at, and no question waits for an answer.
        m_environment.showBanner = false;
        m_unattendedAnswers = std::make_unique<UnattendedUserInterface>(stderr);
        m_ui.answerWith(m_unattendedAnswers.get());
    }

    applyDialogPalette();
    setUpScratchDirectory();
    setUpUnpackDirectory();
    // The operating system is always recent enough: there is no version to check.
    registerDocumentKinds(false);
    m_mailAvailable = findOnPath("xdg-email", m_settings->programDirectory()).has_value();
    registerDocumentKinds(true);
    m_settings->loadAlwaysOnTop();
    createMainWindow();
    m_mainWindow->restorePlacement();
    m_settings->loadLogFile();
    m_mainWindow->show();
    startInstanceServer();
    registerWithDesktopAtStartup();
    loadSettings();
    if (std::optional<int> exitCode = runCommandLine(request))
        return exitCode;
    QDir::setCurrent(QString::fromStdString(m_settings->loadCurrentDir(workingDirectory())));
    return std::nullopt;
}

std::optional<int> ZipApplication::sendToRunningInstance()
{
    QStringList rest = m_environment.arguments.mid(1);
    if (rest.isEmpty()) {
        std::fputs("usage: quarvo --dde EXECUTE-STRING\n", stderr);
        return 2;
    }
    auto runtime = m_environment.runtimeDirectory.empty() ? userRuntimeDirectory()
                                                          : Result<std::string>(m_environment.runtimeDirectory);
    if (!runtime) {
        std::fprintf(stderr, "quarvo: %s\n", runtime.error().message.c_str());
        return 2;
    }
    QString socket = QString::fromStdString(
        quarvo::instanceSocketPath(*runtime, executableBaseName(m_environment.executablePath.toStdString())));
    std::optional<bool> handled =
        sendExecuteString(socket, rest.join(QLatin1Char(' ')).toStdString(), executeTimeoutMilliseconds);
    if (!handled) {
        std::fputs("quarvo: no running instance answered\n", stderr);
        return 2;
    }
    return *handled ? 0 : 1;
}

std::optional<int> ZipApplication::forwardToRunningInstance(const CommandLineRequest& request)
{
    auto runtime = m_environment.runtimeDirectory.empty() ? userRuntimeDirectory()
                                                          : Result<std::string>(m_environment.runtimeDirectory);
    if (!runtime)
        return std::nullopt;
    m_runtimeDirectory = *runtime;
    m_socketPath = QString::fromStdString(
        quarvo::instanceSocketPath(m_runtimeDirectory, executableBaseName(m_environment.executablePath.toStdString())));
    if (request.action != StartupAction::OpenDocument && request.action != StartupAction::Extract)
        return std::nullopt;
    std::string path = absolutePath(request.path);
    std::optional<std::string> command =
        request.action == StartupAction::Extract ? extractCommandFor(path) : openCommandFor(path);
    if (!command)
        return std::nullopt;
    if (!instanceIsListening(m_socketPath, forwardTimeoutMilliseconds))
        return std::nullopt;
    // A request the instance took is its own from then on, answered or not: the Extract action's
    // request, for one, is answered only when its dialog closes. Starting a second instance then
    // would show the archive, and the dialog, twice.
    if (deliverExecuteString(m_socketPath, *command, forwardTimeoutMilliseconds) == Delivery::NotDelivered)
        return std::nullopt;
    return 0;
}

void ZipApplication::setUpScratchDirectory()
{
    // Without a scratch directory the program still runs; what needs it reports its own errors.
    if (m_runtimeDirectory.empty())
        return;
    auto scratch = ScratchDirectory::create(m_runtimeDirectory);
    if (!scratch)
        return;
    m_scratch.emplace(std::move(*scratch));
    m_scratch->empty();
    m_context->scratchDirectory = m_scratch->path();
    m_entryCommands->setScratchDirectory(m_scratch->path());
}

// Unpacked streams can be gigabytes: they go to disk, not to the run-time directory's memory.
void ZipApplication::setUpUnpackDirectory()
{
    std::string cache = m_environment.cacheDirectory;
    if (cache.empty()) {
        auto userCache = userCacheDirectory();
        if (!userCache)
            return;
        cache = *userCache;
    } else if (!ensurePrivateDirectory(cache)) {
        return;
    }
    auto unpack = ScratchDirectory::create(cache, "unpacked");
    if (!unpack)
        return;
    m_unpack.emplace(std::move(*unpack));
    m_context->unpackDirectory = m_unpack->path();
}

void ZipApplication::registerDocumentKinds(bool jobs)
{
    for (const DocumentKindInfo& info : documentKindTable()) {
        if (info.isJob != jobs)
            continue;
        std::function<std::unique_ptr<Document>()> create;
        auto binding = m_bindings.find(info.resourceId);
        if (binding != m_bindings.end() && binding->second.createDocument && binding->second.createWindow) {
            auto createDocument = binding->second.createDocument;
            create = [this, createDocument] { return createDocument(*m_context); };
        }
        m_documents.registerKind(makeDocumentKind(info, std::move(create)));
    }
}

void ZipApplication::createMainWindow()
{
    MainWindow::Options options;
    options.showBanner = m_environment.showBanner;
    options.mailAvailable = m_mailAvailable;
    registerCommands();
    m_mainWindow = std::make_unique<MainWindow>(*m_settings, m_commands, options);
    m_ui.setParentWindow(m_mainWindow.get());
    m_archiveDialogs.setParentWindow(m_mainWindow.get());
    m_optionsDialogs->setParentWindow(m_mainWindow.get());
    m_archiveDialogs.setFileDialogs(fileDialogs(m_ui, *m_optionsDialogs, *m_settings, [this] { showHelp(); }));
    m_ui.setHooks({
        [this](const std::string& text) { m_mainWindow->setMessageText(QString::fromStdString(text)); },
        [this](const std::string& name) { return viewerNotFoundMessage(name, m_settings->programDirectory()); },
        [this] { showHelp(); },
    });
    m_mainWindow->setCloseGuard([this] { return mayCloseEveryDocument(); });
    m_mainWindow->setWindowCloseHandler([this](DocumentWindow* window) { closeWindow(window); });
    // Dropped paths go to the compress offer as the list they are.
    m_mainWindow->setDropHandler([this](const QStringList& paths) {
        std::vector<std::string> list;
        for (const QString& path : paths)
            list.push_back(path.toStdString());
        if (m_compressOffer)
            m_compressOffer({}, list);
    });
    connect(m_mainWindow.get(), &MainWindow::closed, this, [] { QCoreApplication::quit(); });
}

void ZipApplication::startInstanceServer()
{
    if (m_socketPath.isEmpty())
        return;
    m_server = new InstanceServer([this](const std::string& text) { return handleExecuteString(text); }, this);
    // A second instance that cannot listen still works; it just does not take requests.
    m_server->listen(m_socketPath);
}

void ZipApplication::loadSettings()
{
    m_settings->load(screenVerticalDpi());
    checkViewerAtStartup(*m_settings, m_ui);
    m_mainWindow->rebuildMenus();
}

std::optional<int> ZipApplication::runCommandLine(const CommandLineRequest& request)
{
    switch (request.action) {
    case StartupAction::Nothing:
        return std::nullopt;
    case StartupAction::OpenDocument:
        openDocumentWithWindow(request.path);
        return std::nullopt;
    case StartupAction::Extract:
        if (std::optional<std::string> command = extractCommandFor(absolutePath(request.path)))
            handleExecuteString(*command);
        return std::nullopt;
    case StartupAction::Unregister:
        return std::nullopt;
    case StartupAction::RunJob: {
        // A job that did not run, or failed, ends the program with a status a script can see.
        int exitCode = JobResult::Refused;
        if (Document* document = openDocumentWithWindow(request.path)) {
            JobKind job = jobKindForPath(request.path);
            exitCode = job == JobKind::None ? 0 : runJob(*document, job);
        }
        exit();
        if (m_mainWindow->isVisible())
            return std::nullopt;
        finish();
        return exitCode;
    }
    }
    return std::nullopt;
}

bool ZipApplication::handleExecuteString(const std::string& text)
{
    return dispatchExecuteCommand(text, *this);
}

bool ZipApplication::kindOpens(const DocumentKind* kind) const
{
    return kind && bool(kind->create);
}

bool ZipApplication::anyKindOpens() const
{
    for (const auto& kind : m_documents.kinds()) {
        if (kindOpens(kind.get()))
            return true;
    }
    return false;
}

DocumentWindow* ZipApplication::createWindowFor(Document& document)
{
    if (!document.kind())
        return nullptr;
    auto binding = m_bindings.find(document.kind()->resourceId);
    if (binding == m_bindings.end() || !binding->second.createWindow)
        return nullptr;
    DocumentWindow* window = binding->second.createWindow(document, *m_context);
    if (!window)
        return nullptr;
    m_mainWindow->addDocumentWindow(window);
    // The entries of an archive's listing can be dragged out to the desktop.
    auto* archive = dynamic_cast<ArchiveEntrySource*>(&document);
    if (auto* listing = window->findChild<ListingView*>(); archive && listing)
        enableEntryDragOut(*listing, *archive, m_context->scratchDirectory);
    return window;
}

Document* ZipApplication::openDocumentWithWindow(const std::string& givenPath)
{
    // A document is known by its full path: the recent files and a later look-up by path must not
    // depend on the working directory of the moment.
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(givenPath, error);
    const std::string path = error ? givenPath : full.lexically_normal().string();
    if (Document* open = m_documents.findByPath(path)) {
        std::vector<DocumentWindow*> windows = m_mainWindow->windowsOf(*open);
        if (!windows.empty())
            m_mainWindow->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(windows.front()->parentWidget()));
        return open;
    }
    Document* document = m_documents.openDocument(path);
    if (!document)
        return nullptr;
    if (!createWindowFor(*document)) {
        m_documents.closeDocument(document);
        return nullptr;
    }
    return document;
}

Document* ZipApplication::openDocument(const std::string& path)
{
    return openDocumentWithWindow(path);
}

bool ZipApplication::isDocumentOpen(const std::string& path) const
{
    return m_documents.findByPath(path) != nullptr;
}

void ZipApplication::closeDocument(Document& document)
{
    if (isEngineOperationRunning())
        return;
    m_mainWindow->removeWindowsOf(document);
    m_documents.closeDocument(&document);
}

void ZipApplication::closeWindow(DocumentWindow* window)
{
    if (!window->hasDocument() || isEngineOperationRunning())
        return;
    Document& document = window->document();
    if (document.confirmClose(false) == DialogResult::Yes)
        closeDocument(document);
}

bool ZipApplication::closeAllDocuments()
{
    if (askRunningEngineToStop())
        return false;
    m_mainWindow->setDocumentWindowsFrozen(true);
    bool allClosed = m_documents.closeAllDocuments();
    m_mainWindow->removeWindowsOfClosedDocuments(m_documents.documents());
    m_mainWindow->setDocumentWindowsFrozen(false);
    m_commands.updateStates();
    return allClosed;
}

// An engine runs on this thread and reaches the user interface only through the event pump of its
// callbacks; a document closed from there would vanish under the command that started it. While
// one runs, closing a document is refused, and quitting asks the operation to stop instead, so the
// user can quit once it has. True when an engine was running.
bool ZipApplication::askRunningEngineToStop()
{
    if (!isEngineOperationRunning())
        return false;
    CancelFlags::zipEngine = true;
    return true;
}

bool ZipApplication::mayCloseEveryDocument()
{
    if (askRunningEngineToStop())
        return false;
    // The window's own close asks each document as its window's close button would; only Yes lets
    // the program end. Archives opened from inside another one go with their parent.
    for (Document* document : m_documents.documents()) {
        if (!document->isNested() && document->confirmClose(false) != DialogResult::Yes)
            return false;
    }
    m_mainWindow->setDocumentWindowsFrozen(true);
    for (Document* document : m_documents.documents()) {
        // Closing a parent closes the archives opened from it: only those still open are asked.
        std::vector<Document*> open = m_documents.documents();
        if (std::find(open.begin(), open.end(), document) != open.end() && !document->isNested())
            m_documents.closeDocument(document);
    }
    for (Document* document : m_documents.documents())
        m_documents.closeDocument(document);
    m_mainWindow->removeWindowsOfClosedDocuments(m_documents.documents());
    m_mainWindow->setDocumentWindowsFrozen(false);
    return true;
}

void ZipApplication::exit()
{
    if (closeAllDocuments())
        m_mainWindow->close();
}

void ZipApplication::showMainWindowIfHidden()
{
    if (!m_mainWindow->isVisible())
        m_mainWindow->show();
    // A request from the desktop is the user's wish to see the program: bring it forward.
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

int ZipApplication::runJob(Document& document, JobKind kind)
{
    if (!document.kind())
        return JobResult::Refused;
    auto binding = m_bindings.find(document.kind()->resourceId);
    if (binding == m_bindings.end() || !binding->second.runJob)
        return JobResult::Refused;
    return binding->second.runJob(document, kind, *m_context);
}

bool ZipApplication::offerFilesForCompression(const std::string& archivePath, const std::string& fileList)
{
    if (!m_compressOffer)
        return false;
    auto names = namesOfAddRequest(fileList);
    if (!names) {
        m_ui.showMessage(
            {addRequestRefusalMessage(names.error()), MessageButtons::Ok, MessageIcon::Warning, 0, {}});
        return false;
    }
    return m_compressOffer(archivePath, names.value());
}

void ZipApplication::startExtract(Document& document)
{
    std::vector<DocumentWindow*> windows = m_mainWindow->windowsOf(document);
    if (!windows.empty())
        windows.front()->runCommandWithResult(CommandId::Extract);
}

int ZipApplication::finish()
{
    if (m_finished)
        return 0;
    m_finished = true;
    if (m_server) {
        delete m_server;
        m_server = nullptr;
    }
    // Whatever is still open (the window closed without the close-all walk) goes without asking.
    for (Document* document : m_documents.documents())
        m_documents.closeDocument(document);
    if (m_mainWindow) {
        m_settings->saveOnExit(workingDirectory());
        m_mainWindow.reset();
    }
    if (m_scratch) {
        m_scratch->empty();
        m_scratch->remove();
    }
    if (m_unpack)
        m_unpack->remove();
    return 0;
}

// Commands

void ZipApplication::registerCommands()
{
    using namespace CommandId;
    auto always = std::function<bool()>();
    m_commands.setHandler(About, {[this] { AboutDialog(m_mainWindow.get()).exec(); }, always, {}, {}});
    m_commands.setHandler(GeneralOptions, {[this] { editGeneralOptions(*m_settings, m_ui); }, always, {}, {}});
    m_commands.setHandler(CommandId::ZipOptions, {[this] { m_optionsDialogs->zip()->exec(); }, always, {}, {}});
    m_commands.setHandler(CommandId::UnzipOptions, {[this] { m_optionsDialogs->unzip()->exec(); }, always, {}, {}});
    m_commands.setHandler(CommandId::UntarOptions, {[this] { m_optionsDialogs->untar()->exec(); }, always, {}, {}});
    m_commands.setHandler(CloseAll, {[this] { closeAllDocuments(); }, [this] { return !m_documents.documents().empty(); },
                                     {}, {}});
    m_commands.setHandler(Exit, {[this] { exit(); }, always, {}, {}});
    registerDocumentCommands();
    registerHelpCommands();
    registerMailCommands();
    registerPrintCommands();
    registerSearchCommands();
    m_dropCompress = std::make_unique<DropCompressOffer>(*this);
    m_compressOffer = [this](const std::string& archivePath, const std::vector<std::string>& paths) {
        return m_dropCompress->offer(archivePath, paths);
    };
}

void ZipApplication::registerDocumentCommands()
{
    using namespace CommandId;
    m_commands.setHandler(NewZip, {[this] { newZip(); }, [this] { return kindOpens(m_documents.kindForExtension(".zip")); },
                                   {}, {}});
    m_commands.setHandler(NewZipConfig, {[this] { newDocumentOfKind(".cfz"); },
                                         [this] { return kindOpens(m_documents.kindForExtension(".cfz")); }, {}, {}});
    m_commands.setHandler(NewUnzipConfig, {[this] { newDocumentOfKind(".cfu"); },
                                           [this] { return kindOpens(m_documents.kindForExtension(".cfu")); }, {}, {}});
    m_commands.setHandler(Open, {[this] { openWithDialog(); }, [this] { return anyKindOpens(); }, {}, {}});
    m_commands.setHandler(Close, {[this] {
                                      if (DocumentWindow* window = m_mainWindow->activeDocumentWindow())
                                          closeWindow(window);
                                  },
                                  [this] { return m_mainWindow && m_mainWindow->activeDocumentWindow(); }, {}, {}});
    for (int id = RecentFileFirst; id <= RecentFileLast; ++id) {
        size_t index = size_t(id - RecentFileFirst);
        m_commands.setHandler(id, {[this, index] {
                                       if (index < m_settings->recentFiles.size())
                                           openDocumentWithWindow(std::string(m_settings->recentFiles[index]));
                                   },
                                   [this, index] { return index < m_settings->recentFiles.size() && anyKindOpens(); },
                                   {}, {}});
    }
}

void ZipApplication::registerHelpCommands()
{
    using namespace CommandId;
    for (int id : {HelpIndex, HelpUsing, Help, DefaultHelp})
        m_commands.setHandler(id, {[this] { showHelp(); }, {}, {}, {}});
    m_commands.setHandler(ContextHelp, {[] { QWhatsThis::enterWhatsThisMode(); }, {}, {}, {}});
}

void ZipApplication::registerPrintCommands()
{
    m_printCommands = std::make_unique<PrintCommands>(*m_settings, m_ui);
    m_printCommands->registerWith(
        m_commands, [this] { return m_mainWindow ? m_mainWindow->activeDocumentWindow() : nullptr; },
        [this] { return m_mainWindow.get(); });
}

void ZipApplication::registerSearchCommands()
{
    m_searchCommands = std::make_unique<SearchCommands>(
        m_ui, [this](const std::string& path) { openDocumentWithWindow(path); }, [this] { showHelp(); });
    m_searchCommands->registerWith(m_commands, [this] { return m_mainWindow.get(); });
}

void ZipApplication::registerMailCommands()
{
    using namespace CommandId;
    auto activePath = [this]() -> std::string {
        DocumentWindow* window = m_mainWindow ? m_mainWindow->activeDocumentWindow() : nullptr;
        return window && window->hasDocument() ? window->document().path() : std::string();
    };
    m_commands.setHandler(SendActiveDocument,
                          {[this, activePath] {
                               if (std::string path = activePath(); !path.empty())
                                   sendMail({path});
                           },
                           [activePath] { return !activePath().empty(); }, {},
                           [activePath] {
                               std::string path = activePath();
                               return path.empty() ? QStringLiteral("No Active Document")
                                                   : QString::fromStdString(path).replace(QLatin1Char('&'), QStringLiteral("&&")) +
                                                         QStringLiteral("...");
                           }});
    m_commands.setHandler(SendAllDocuments, {[this] {
                                                 std::vector<std::string> paths = mailAttachmentPaths(m_documents.documents());
                                                 if (!paths.empty())
                                                     sendMail(paths);
                                             },
                                             {}, {}, {}});
}

Document* ZipApplication::newDocumentOfKind(const std::string& extension)
{
    const DocumentKind* kind = m_documents.kindForExtension(extension);
    if (!kindOpens(kind))
        return nullptr;
    Document* document = m_documents.newDocument(*kind);
    if (document && !createWindowFor(*document)) {
        m_documents.closeDocument(document);
        return nullptr;
    }
    return document;
}

void ZipApplication::newZip()
{
    if (m_documents.kinds().empty()) {
        m_ui.showMessage({"Failed to create empty document.", MessageButtons::Ok, MessageIcon::None, 0, {}});
        return;
    }
    const DocumentKind* kind = m_documents.kindForExtension(".zip");
    if (!kindOpens(kind))
        return;
    Document* document = m_documents.newDocument(*kind);
    if (!document)
        return;
    DocumentWindow* window = createWindowFor(*document);
    if (!window) {
        m_documents.closeDocument(document);
        return;
    }
    if (window->runCommandWithResult(CommandId::AddFiles))
        return;
    // The new archive holds nothing the user wanted: it goes again.
    std::string path = document->path();
    closeDocument(*document);
    if (!path.empty()) {
        std::error_code error;
        std::filesystem::remove(path, error);
    }
}

void ZipApplication::openWithDialog()
{
    FileDialogRequest request = openArchiveRequest();
    // The dialog hands back full paths, so every name already lies in the directory the user chose.
    // The last one opened ends up active.
    for (const std::string& path : m_ui.chooseFilesToOpen(request))
        openDocumentWithWindow(path);
}

void ZipApplication::showHelp()
{
    if (!openManual(QString::fromStdString(m_settings->programDirectory())))
        m_ui.showMessage({"The manual could not be opened.", MessageButtons::Ok, MessageIcon::Warning, 0, {}});
}

void ZipApplication::sendMail(const std::vector<std::string>& paths)
{
    // The mail program shows its own composition window; what it answers is not examined.
    QStringList arguments;
    for (const std::string& path : paths)
        arguments << QStringLiteral("--attach") << QString::fromStdString(path);
    QProcess::startDetached(QStringLiteral("xdg-email"), arguments);
}

} // namespace quarvo::gui
