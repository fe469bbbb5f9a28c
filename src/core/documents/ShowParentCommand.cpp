#include "core/documents/ShowParentCommand.h"

#include "core/documents/ApplicationWindows.h"
#include "core/documents/ArchiveEntrySource.h"
#include "core/documents/EntryLaunchServices.h"
#include "core/documents/OpenItemList.h"
#include "core/framework/Document.h"

#include <algorithm>

namespace quarvo {

bool showParent(ArchiveEntrySource& archive)
{
    EntrySourceServices services = archive.entryServices();
    if (!services.entryLaunch || !archive.isZipInZip())
        return false;
    OpenItem* item = services.openItems.findByFullPath(archive.asDocument().path());
    if (!item || !item->document)
        return false;
    const std::vector<View*>& views = item->document->views();
    if (std::find(views.begin(), views.end(), item->view) == views.end()) {
        if (views.empty())
            return false;
        item->view = views.front();
    }
    return services.entryLaunch->windows.bringViewForward(*item->view);
}

} // namespace quarvo
