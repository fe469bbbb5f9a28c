#include "core/launch/ProgramResolution.h"

#include "core/launch/FindOnPath.h"
#include "core/launch/LaunchCodes.h"
#include "core/launch/ViewerProgram.h"
#include "core/text/PathParts.h"

#include <filesystem>
#include <sys/stat.h>

namespace quarvo {

namespace {

bool exists(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

ResolvedProgram classify(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        std::string_view parent = directoryPart(path);
        int code = !parent.empty() && !exists(std::string(parent)) ? LaunchCode::PathNotFound
                                                                   : LaunchCode::FileNotFound;
        return {ResolvedProgram::Kind::Missing, {}, code};
    }
    bool program = S_ISREG(status.st_mode) && (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
    return {program ? ResolvedProgram::Kind::Program : ResolvedProgram::Kind::Document, path, 0};
}

std::string inDirectory(const std::string& directory, std::string_view name)
{
    if (directory.empty() || directory.ends_with('/'))
        return directory + std::string(name);
    return directory + "/" + std::string(name);
}

} // namespace

ResolvedProgram resolveProgram(std::string_view name, const std::string& directory,
                               const std::string& programDirectory, ProgramSearch search)
{
    if (name.empty())
        return {ResolvedProgram::Kind::Missing, {}, LaunchCode::FileNotFound};
    // The stored default viewer stands for the viewer that ships beside the executable.
    if (isDefaultViewerName(name)) {
        std::string bundled = bundledViewerPath(programDirectory);
        return bundled.empty() ? ResolvedProgram{ResolvedProgram::Kind::Missing, {}, LaunchCode::FileNotFound}
                               : classify(bundled);
    }
    if (name.find('/') != std::string_view::npos)
        return classify(name.front() == '/' ? std::string(name) : inDirectory(directory, name));
    if (search == ProgramSearch::ItemDirectoryFirst) {
        std::string local = inDirectory(directory, name);
        if (exists(local))
            return classify(local);
    }
    if (std::optional<std::string> found = findOnPath(name, programDirectory)) {
        // An empty or relative PATH element gives a path relative to this process's working
        // directory, which the started program does not share.
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(*found, error);
        return classify(error ? *found : absolute.string());
    }
    return {ResolvedProgram::Kind::Missing, {}, LaunchCode::FileNotFound};
}

} // namespace quarvo
