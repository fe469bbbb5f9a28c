#include "core/documents/ArchiveInfo.h"

#include "core/text/CompressionRatio.h"
#include "core/text/NumberFormat.h"

#include <iomanip>
#include <locale>
#include <sstream>

namespace quarvo {

namespace {

std::string bytesText(uint64_t value)
{
    return formatThousands(value) + " Bytes";
}

} // namespace

std::string formatInfoDateTime(std::time_t time)
{
    std::tm local{};
    if (!::localtime_r(&time, &local))
        return {};
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::put_time(&local, "%A, %B %d, %Y at %I:%M%p");
    return text.str();
}

ZipFileInfo buildZipFileInfo(const std::string& path, const ZipArchiveRecord& archive)
{
    ZipFileInfo info;
    info.fileName = path;
    info.fileSize = bytesText(archive.fileStatus.size);
    info.dateTime = formatInfoDateTime(static_cast<std::time_t>(archive.fileStatus.creationTime));
    info.fileCount = formatThousands(archive.entriesTotal);
    info.totalUncompressed = bytesText(archive.totalUncompressed);
    info.totalCompressed = bytesText(archive.totalCompressed);
    info.percentage =
        std::to_string(compressionRatio(archive.totalCompressed, archive.totalUncompressed)) + "%";
    info.comment = archive.archiveComment;
    return info;
}

} // namespace quarvo
