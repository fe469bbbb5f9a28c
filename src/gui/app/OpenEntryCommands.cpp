#include "gui/app/OpenEntryCommands.h"

#include "core/app/CommandIds.h"
#include "core/documents/ArchiveEntrySource.h"
#include "core/documents/CheckOutCommand.h"
#include "core/documents/KeptCopy.h"
#include "core/documents/OpenEntryCommand.h"
#include "core/documents/OpenItemList.h"
#include "core/documents/OpenItemStages.h"
#include "core/documents/ShowParentCommand.h"
#include "core/engine/ZipEngineSession.h"
#include "gui/app/DocumentWindow.h"
#include "gui/app/MainWindow.h"
#include "gui/launch/SystemLaunchServices.h"
#include "gui/app/ZipApplication.h"
#include "gui/listing/ListingView.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

namespace quarvo::gui {

namespace {

constexpr int EngineWaitMilliseconds = 200;

} // namespace

OpenEntryCommands::OpenEntryCommands(ZipApplication& application, OpenItemList& openItems,
                                     std::unique_ptr<SystemLaunchServices> services)
    : m_application(application), m_openItems(openItems),
      m_launcher(std::move(services)), m_services{m_launcher, *this, {}, defaultKeptCopiesDirectory()}
{
    installOpenItemHandlers(openItems, m_services, application.documents());
    m_launcher.setProcessEndedHandler([this](int64_t processId) { deliverProcessEnd(processId); });
}

// The end of a process is noticed inside the watcher's own handler; the question that may follow
// waits for the event loop. While an engine runs (its progress pumps events) the changed copy could
// not go back, so the end waits for the engine to finish.
void OpenEntryCommands::deliverProcessEnd(int64_t processId)
{
    QPointer<OpenEntryCommands> self(this);
    QTimer::singleShot(isEngineOperationRunning() ? EngineWaitMilliseconds : 0, this, [self, processId] {
        if (!self)
            return;
        if (isEngineOperationRunning())
            self->deliverProcessEnd(processId);
        else
            self->m_openItems.processEnded(processId);
    });
}

OpenEntryCommands::~OpenEntryCommands()
{
    m_openItems.setAdvanceHandler({});
    m_openItems.setReleaseHandler({});
}

Document* OpenEntryCommands::openDocumentWithWindow(const std::string& path)
{
    return m_application.openDocumentWithWindow(path);
}

void OpenEntryCommands::closeDocument(Document& document)
{
    m_application.closeDocument(document);
}

bool OpenEntryCommands::bringViewForward(View& view)
{
    MainWindow* main = m_application.mainWindow();
    if (!main)
        return false;
    auto* widget = dynamic_cast<QWidget*>(&view);
    for (DocumentWindow* window : main->documentWindows()) {
        if (static_cast<View*>(window) != &view && !(widget && window->isAncestorOf(widget)))
            continue;
        if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
            main->mdiArea()->setActiveSubWindow(frame);
            return true;
        }
    }
    return false;
}

void OpenEntryCommands::raiseMainWindow()
{
    MainWindow* main = m_application.mainWindow();
    if (!main)
        return;
    if (main->isMinimized())
        main->showNormal();
    main->raise();
    main->activateWindow();
}

void OpenEntryCommands::leaveAlwaysOnTop()
{
    MainWindow* main = m_application.mainWindow();
    if (main && m_application.settings().alwaysOnTop == 1)
        main->toggleAlwaysOnTop();
}

bool isEntryCommand(int id)
{
    return id == CommandId::ViewFile || id == CommandId::RunFile || id == CommandId::CheckOut ||
           id == CommandId::ShowParent;
}

bool isEntryCommandEnabled(const ArchiveEntrySource& archive, int id)
{
    if (id == CommandId::ShowParent)
        return archive.isZipInZip();
    return isEntryCommand(id);
}

void runEntryCommand(ArchiveEntrySource& archive, View& window, ListingView& listing, int id)
{
    switch (id) {
    case CommandId::ViewFile:
    case CommandId::RunFile:
        openEntry(archive, &window, listing.caretEntry(), id == CommandId::RunFile);
        return;
    case CommandId::CheckOut:
        (void)checkOut(archive);
        return;
    case CommandId::ShowParent:
        (void)showParent(archive);
        return;
    default:
        return;
    }
}

namespace {

// Catches Enter on the listing before the view turns it into "activated", a signal a double click
// sends as well.
class EnterFilter : public QObject {
  public:
    EnterFilter(QObject* parent, std::function<void()> onEnter)
        : QObject(parent), m_onEnter(std::move(onEnter))
    {
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return QObject::eventFilter(watched, event);
        m_onEnter();
        return true;
    }

  private:
    std::function<void()> m_onEnter;
};

} // namespace

void connectEnterToView(ListingView& listing, std::function<void()> view)
{
    listing.installEventFilter(new EnterFilter(&listing, std::move(view)));
}

} // namespace quarvo::gui
