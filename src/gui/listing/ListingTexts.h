#pragma once

#include <QString>

namespace quarvo::gui {

// The words the listings put into the status bar's message pane.
namespace ListingText {
// The framework's idle prompt; while an archive window is active the status bar shows the archive's
// summaries instead of it.
inline QString idlePrompt() { return QStringLiteral("Press F1 for Help"); }
inline QString headerBarPrompt() { return QStringLiteral("Click on header bar to select or deselect all items."); }
// Followed by the stored name of the entry the fill reached.
inline QString sortingPrefix() { return QStringLiteral("Sorting: "); }
inline QString displayingPrompt() { return QStringLiteral("Please wait while displaying."); }
} // namespace ListingText

} // namespace quarvo::gui
