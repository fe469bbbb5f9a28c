#pragma once

#include <span>

namespace quarvo::gui {

// The tool bar's buttons from left to right; 0 stands for a separator gap.
std::span<const int> toolBarLayout();

} // namespace quarvo::gui
