#include "core/app/CommandLine.h"

namespace quarvo {

namespace {

constexpr std::string_view ExtractOption = "--extract ";
constexpr std::string_view UnregisterOption = "--unregister";

} // namespace

std::string joinArguments(const std::vector<std::string>& arguments)
{
    std::string text;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            text += ' ';
        text += arguments[i];
    }
    return text;
}

CommandLineRequest parseCommandLine(std::string_view text,
                                    const std::function<bool(const std::string&)>& exists)
{
    if (text.empty())
        return {};
    if (text == UnregisterOption)
        return {StartupAction::Unregister, {}};
    if (text.starts_with(ExtractOption) && text.size() > ExtractOption.size())
        return {StartupAction::Extract, std::string(text.substr(ExtractOption.size()))};
    bool jobSwitch =
        text.size() >= 2 && (text[0] == '-' || text[0] == '/') && (text[1] == 'e' || text[1] == 'E');
    if (jobSwitch && text[0] == '/' && exists && exists(std::string(text)))
        jobSwitch = false;
    if (jobSwitch)
        return {StartupAction::RunJob, std::string(text.substr(2))};
    return {StartupAction::OpenDocument, std::string(text)};
}

} // namespace quarvo
