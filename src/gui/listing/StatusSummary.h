#pragma once

#include <QString>

#include <optional>

namespace quarvo::gui {

// The two summary lines of an archive window: "Total: 3 file(s) (1.53 KB)" for the message pane and
// "Selected: 0 file(s) (0 Bytes)" for the selection pane.
struct StatusSummary {
    QString total;
    QString selected;
};

// Something whose summaries the status bar shows while it is active: the archive listings.
class SummaryProvider {
public:
    virtual ~SummaryProvider() = default;
    virtual StatusSummary statusSummary() const = 0;
};

// What the status bar shows when a text is put into its message pane.
struct StatusBarTexts {
    QString message;
    // The new text of the selection pane; nothing when the pane keeps its text.
    std::optional<QString> selection;
};

// The idle prompt, in any letter case, turns into the active archive's summaries: the total into the
// message pane and the selection into the selection pane. Any other text (a menu prompt, a progress
// text), or any text while no archive is active (provider null), is shown as it is.
StatusBarTexts statusBarTexts(const QString& text, const SummaryProvider* activeProvider);

} // namespace quarvo::gui
