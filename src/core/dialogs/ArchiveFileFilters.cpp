#include "core/dialogs/ArchiveFileFilters.h"

namespace quarvo {

std::vector<FileDialogFilter> openArchiveFilters()
{
    return {
        {"All Archives", {"*.zip", "*.exe", "*.tar", "*.tgz", "*.taz", "*.gz", "*.z"}},
        {"ZIP (*.zip)", {"*.zip"}},
        {"Self Extract (*.exe)", {"*.exe"}},
        {"TAR (*.tar)", {"*.tar"}},
        {"ZIP Config file (*.cfz)", {"*.cfz"}},
        {"UNZIP Config file (*.cfu)", {"*.cfu"}},
        {"All Files (*.*)", {"*"}},
    };
}

FileDialogRequest openArchiveRequest()
{
    FileDialogRequest request;
    request.title = "Open ZIP File";
    request.filters = openArchiveFilters();
    request.allowMultiple = true;
    return request;
}

} // namespace quarvo
