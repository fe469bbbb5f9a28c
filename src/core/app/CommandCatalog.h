#pragma once

#include <span>
#include <string_view>

namespace quarvo {

// The words of one command: its menu text (with the "&" mnemonic), its accelerator key in the
// portable text form ("Ctrl+N", "F5"; empty for none), the prompt shown in the status bar while the
// item is highlighted, and the tool tip of its tool-bar button (empty when it has none).
struct CommandText {
    int id = 0;
    std::string_view menuText;
    std::string_view shortcut;
    std::string_view prompt;
    std::string_view toolTip;
};

// Every command of the program, in no particular order, each id once.
std::span<const CommandText> commandTexts();

// The words of a command; null for an id the program does not have.
const CommandText* findCommandText(int id);

} // namespace quarvo
