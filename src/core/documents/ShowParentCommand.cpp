#include "core/documents/ShowParentCommand.h"

#include "core/documents/ApplicationWindows.h"
#include "core/documents/EntryLaunchServices.h"
#include "core/documents/OpenItemList.h"
#include "core/documents/ZipDocument.h"

#include <algorithm>

namespace quarvo {

bool showParent(ZipDocument& document)
{
    ZipDocumentServices& services = document.services();
    if (!services.entryLaunch || !document.isZipInZip())
        return false;
    OpenItem* item = services.openItems.findByFullPath(document.path());
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
