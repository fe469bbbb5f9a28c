#pragma once

#include <QString>

#include <vector>

namespace quarvo::gui {

// One item of a menu as the program lays it out; the words come from the command catalogue.
struct MenuEntry {
    enum class Kind {
        Command,     // the action of id
        Separator,
        Popup,       // a submenu titled title with children
        RecentFiles, // the recent-file items, or a disabled "Recent File" when there are none
        SendMail,    // the "Send Mail" pop-up and a separator, present only when mail is available
        WindowList,  // the open document windows
    };
    Kind kind = Kind::Command;
    int id = 0;
    QString title;
    std::vector<MenuEntry> children;
};

// The menu bar of a kind of window: the main window's own (resource 4) when no document window is
// active, the ZIP archive window's (resource 5), the job windows' (resources 8 and 10), and a plain
// document menu for any other kind until that kind brings its own. Each element is a top-level
// pop-up, or a command that sits on the menu bar itself.
std::vector<MenuEntry> menuLayout(int resourceId);

// Every command id that appears anywhere in a layout, sub-menus included.
std::vector<int> commandIdsIn(const std::vector<MenuEntry>& layout);

} // namespace quarvo::gui
