#include "core/launch/ViewerProgram.h"

#include "core/base/TextCase.h"
#include "core/launch/ProgramResolution.h"
#include "core/settings/AppSettings.h"

namespace quarvo {

bool isDefaultViewerName(std::string_view name)
{
    return equalsIgnoringCase(name, SettingsDefaults::ViewerName);
}

std::string bundledViewerPath(std::string_view programDirectory)
{
    if (programDirectory.empty())
        return {};
    std::string path(programDirectory);
    if (path.back() != '/')
        path += '/';
    return path + std::string(ViewerProgram::BundledFileName);
}

std::optional<std::string> resolveViewerProgram(std::string_view name, std::string_view programDirectory)
{
    ResolvedProgram found =
        resolveProgram(name, {}, std::string(programDirectory), ProgramSearch::ProgramsOnly);
    if (found.kind == ResolvedProgram::Kind::Missing)
        return std::nullopt;
    // The bundled viewer must be a program; any other name only has to exist.
    if (isDefaultViewerName(name) && found.kind != ResolvedProgram::Kind::Program)
        return std::nullopt;
    return found.path;
}

} // namespace quarvo
