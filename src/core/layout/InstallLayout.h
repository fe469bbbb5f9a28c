#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// Where an installation puts its files, as paths relative to the directory of the installed
// programs ("bin"). The install rules and these paths come from the same CMake settings, so the
// programs find what was installed with them wherever the installation was put (a package's /usr,
// a prefix under /opt, a directory it was unpacked into).
namespace InstallLayout {

// The helpers the programs run or copy but no user starts: the Linux self-extractor's program.
std::string_view companionDirectory();
// The shared data directory ("share"), whose applications, mime and icons folders hold the desktop
// entry, the MIME package and the icons of an installation.
std::string_view dataDirectory();
// The documentation directory, which holds the manual.
std::string_view documentationDirectory();

} // namespace InstallLayout

// The places a companion program of the given file name is looked for, in order: beside the
// executable (a build tree keeps every program in one place, and an older installation did so
// too), then in the installed companion directory. programDirectory is the executable's directory.
std::vector<std::string> companionProgramCandidates(std::string_view programDirectory, std::string_view name);

// programDirectory joined with a relative directory of the layout.
std::string installedPath(std::string_view programDirectory, std::string_view relativeDirectory);

} // namespace quarvo
