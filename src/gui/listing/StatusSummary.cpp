#include "gui/listing/StatusSummary.h"

#include "gui/listing/ListingTexts.h"

namespace quarvo::gui {

StatusBarTexts statusBarTexts(const QString& text, const SummaryProvider* activeProvider)
{
    if (activeProvider == nullptr || text.compare(ListingText::idlePrompt(), Qt::CaseInsensitive) != 0)
        return {text, std::nullopt};
    StatusSummary summary = activeProvider->statusSummary();
    return {summary.total, summary.selected};
}

} // namespace quarvo::gui
