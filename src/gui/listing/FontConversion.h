#pragma once

#include "core/settings/FontDescription.h"

#include <QFont>

namespace quarvo::gui {

// The listing font as the settings keep it and as Qt draws it. A negative height is the character
// height in pixels, a positive one the height of the whole character cell; weight, italic,
// underline, strike-out, face and the pitch-and-family hint carry over; the remaining fields only
// matter to the profile and are kept by descriptionFromFont.
QFont fontFromDescription(const FontDescription& description);

// The description of a chosen font, starting from the one it replaces so that fields Qt has no
// notion of keep their values. A font sized in points is converted to pixels at verticalDpi.
FontDescription descriptionFromFont(const QFont& font, const FontDescription& previous, int verticalDpi);

} // namespace quarvo::gui
