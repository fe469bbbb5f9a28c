#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quarvo {

namespace ViewerProgram {
// The file name of the viewer that ships with Quarvo, installed beside the executable.
constexpr std::string_view BundledFileName = "quarvo-viewer";
} // namespace ViewerProgram

// True for the stored default viewer name "VIEWER.EXE", in any letter case: it is a DOS program name,
// and profiles written by hand or carried over from DOS spell it either way.
bool isDefaultViewerName(std::string_view name);

// Where Quarvo's own viewer belongs: the program directory joined with "quarvo-viewer". Empty when the
// program directory is unknown (empty).
std::string bundledViewerPath(std::string_view programDirectory);

// The program a viewer name stands for, by the one rule that the start-up check, the General Options
// dialog and the launcher share:
// - the default name (isDefaultViewerName) means Quarvo's own viewer in the program directory, found
//   when that is a regular file with an execute permission bit. It is not searched on PATH: the
//   viewer ships with the executable, and another "quarvo-viewer" found elsewhere may be another
//   version;
// - any other bare name (no "/") is searched with findOnPath: the program directory, then PATH;
// - a name with a "/" is a path, found when something exists there.
// Returns the path to start, or nullopt for an empty name (no default viewer) and when nothing is
// found.
std::optional<std::string> resolveViewerProgram(std::string_view name, std::string_view programDirectory);

} // namespace quarvo
