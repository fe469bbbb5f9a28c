#pragma once

#include "gui/listing/ListingTexts.h"

#include <QString>

namespace quarvo::gui {

// The words the program uses for itself.
namespace ProductInfo {
inline QString title() { return QStringLiteral("Quarvo"); }
inline QString version() { return QStringLiteral(QUARVO_VERSION); }
inline QString versionLine() { return QStringLiteral("Version ") + version(); }
inline QString idlePrompt() { return ListingText::idlePrompt(); }
} // namespace ProductInfo

} // namespace quarvo::gui
