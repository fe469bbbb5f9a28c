#pragma once

#include "core/documents/RemovableDrive.h"

#include <functional>
#include <string>

namespace quarvo {

class AppSettings;
class ArchiveDialogs;
class CompressionEngines;
class DocumentManager;
struct EntryLaunchServices;
class OpenItemList;
class UserInterface;

// What a ZIP document works with, all owned by the application: the two user-interface ports, the
// settings, the open-item list, the engines, the document manager that closes documents, and what
// viewing entries needs.
struct ZipDocumentServices {
    UserInterface& ui;
    ArchiveDialogs& dialogs;
    AppSettings& settings;
    OpenItemList& openItems;
    CompressionEngines& engines;
    DocumentManager& manager;
    // Whether an archive path lies on a removable drive.
    std::function<bool(const std::string&)> onRemovableDrive = [](const std::string& path) {
        return isOnRemovableDrive(path);
    };
    // Viewing, running and checking out entries; without them those commands do nothing.
    EntryLaunchServices* entryLaunch = nullptr;
};

} // namespace quarvo
