#pragma once

#include "core/app/JobKind.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

class QWidget;

namespace quarvo {
class AppSettings;
class ArchiveDialogs;
class CompressionEngines;
class Document;
class DocumentManager;
struct EntryLaunchServices;
class OpenItemList;
class TarEngine;
class UserInterface;
} // namespace quarvo

namespace quarvo::gui {

class DocumentWindow;

// What the document kinds' code may use of the running application.
struct ApplicationContext {
    AppSettings& settings;
    UserInterface& ui;
    ArchiveDialogs& archiveDialogs;
    DocumentManager& documents;
    OpenItemList& openItems;
    CompressionEngines& engines;
    // The TAR engine; the TAR kinds open nothing without it.
    TarEngine* tarEngine = nullptr;
    // The running instance's scratch directory; empty when it could not be made.
    std::string scratchDirectory{};
    // Where TAR documents unpack compressed streams; empty when it could not be made.
    std::string unpackDirectory{};
    // Viewing, running and checking out entries.
    EntryLaunchServices* entryLaunch = nullptr;
};

// How a document kind comes to life in this program: how its documents are made, which window
// shows one, and how a job document runs. A kind without a binding is still registered (its
// extension is known), but its files cannot be opened yet.
struct DocumentKindBinding {
    std::function<std::unique_ptr<Document>(ApplicationContext&)> createDocument;
    std::function<DocumentWindow*(Document&, ApplicationContext&)> createWindow;
    // Job kinds only: runs the open job document and returns its result, 0 when it succeeded.
    std::function<int(Document&, JobKind, ApplicationContext&)> runJob;
};

using DocumentKindBindings = std::map<int, DocumentKindBinding>;

// The bindings of the kinds whose documents and windows this build has, keyed by the kind's
// resource id. Each document kind adds itself here when it arrives.
DocumentKindBindings builtInDocumentKindBindings();

} // namespace quarvo::gui
