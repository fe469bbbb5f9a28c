#include "core/dialogs/DroppedFiles.h"

#include "core/app/CommandIds.h"

namespace quarvo {

namespace {

bool isRequestPunctuation(char c)
{
    return c == ' ' || c == '\t' || c == ',' || c == '(' || c == ')' || c == '[' || c == ']';
}

} // namespace

Result<std::vector<std::string>, AddRequestRefusal> namesOfAddRequest(std::string_view fileList)
{
    std::vector<std::string> names;
    size_t position = 0;
    size_t previousName = 0;
    for (;;) {
        const size_t open = fileList.find('"', position);
        for (size_t stray = position; stray < std::min(open, fileList.size()); ++stray) {
            if (!isRequestPunctuation(fileList[stray]))
                return AddRequestRefusal{
                    std::string(fileList.substr(previousName, stray + 1 - previousName))};
        }
        if (open == std::string_view::npos)
            return names;
        const size_t close = fileList.find('"', open + 1);
        if (close == std::string_view::npos)
            return names;
        names.emplace_back(fileList.substr(open + 1, close - open - 1));
        previousName = open + 1;
        position = close + 1;
    }
}

std::string addRequestRefusalMessage(const AddRequestRefusal& refusal)
{
    return "A file name in the request to add files holds a double quote, which the request cannot carry: " +
           refusal.near + "\nNo files were added.";
}

std::vector<std::string> filesToCompressLines(const std::vector<std::string>& paths,
                                              const std::function<bool(const std::string&)>& isDirectory)
{
    std::vector<std::string> lines;
    for (const std::string& path : paths) {
        if (isDirectory(path))
            lines.push_back(path + (path.ends_with('/') ? "*.*" : "/*.*"));
        else
            lines.push_back(path);
    }
    return lines;
}

std::optional<std::string> itemSpecificationOf(const std::vector<std::string>& lines, std::string* rejected)
{
    std::string specification;
    for (const std::string& line : lines) {
        if (line.find('"') != std::string::npos) {
            if (rejected)
                *rejected = line;
            return std::nullopt;
        }
        specification += (specification.empty() ? "\"" : " \"") + line + "\"";
    }
    return specification;
}

std::string quotedNameMessage(const std::string& name)
{
    return "The name " + name + " holds a double quote, which cannot be handed to the archive engines.";
}

std::optional<int> addCommandAt(int position)
{
    if (position < 0 || size_t(position) >= CommandId::AddFamily.size())
        return std::nullopt;
    return CommandId::AddFamily[size_t(position)];
}

} // namespace quarvo
