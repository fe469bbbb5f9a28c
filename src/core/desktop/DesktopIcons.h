#pragma once

#include <span>
#include <string_view>

namespace quarvo {

// One SVG icon of the hicolor theme, checked in under data/icons and compiled into the program so
// that registration needs no data files beside it.
struct DesktopIcon {
    std::string_view name; // the icon name, without ".svg"
    std::string_view svg;
};

std::span<const DesktopIcon> desktopIcons();

} // namespace quarvo
