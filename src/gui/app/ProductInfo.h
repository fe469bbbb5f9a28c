#pragma once

#include <QString>

namespace quarvo::gui {

// The words the program uses for itself.
namespace ProductInfo {
inline QString title() { return QStringLiteral("Quarvo"); }
inline QString version() { return QStringLiteral(QUARVO_VERSION); }
inline QString versionLine() { return QStringLiteral("Version ") + version(); }
inline QString idlePrompt() { return QStringLiteral("Press F1 for Help"); }
} // namespace ProductInfo

} // namespace quarvo::gui
