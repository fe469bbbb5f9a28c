#pragma once

#include <string>

namespace quarvo {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };

enum class MessageIcon { None, Information, Question, Warning, Error };

// One modal message box: the core fills it in, the user interface shows it and returns the
// DialogResult of the button pressed. An empty caption means the application's title.
struct MessageBoxRequest {
    std::string text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    // The DialogResult of the default button; 0 means the first button of the set.
    int defaultButton = 0;
    std::string caption;

    bool operator==(const MessageBoxRequest&) const = default;
};

} // namespace quarvo
