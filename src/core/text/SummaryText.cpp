#include "core/text/SummaryText.h"

#include "core/text/NumberFormat.h"

namespace quarvo {

namespace {

std::string summaryText(const char* label, uint64_t fileCount, uint64_t bytes)
{
    return label + formatThousands(fileCount) + " file(s) (" + formatSize(bytes);
}

} // namespace

std::string totalSummaryText(uint64_t fileCount, uint64_t bytes)
{
    return summaryText("Total: ", fileCount, bytes);
}

std::string selectedSummaryText(uint64_t fileCount, uint64_t bytes)
{
    return summaryText("Selected: ", fileCount, bytes);
}

} // namespace quarvo
