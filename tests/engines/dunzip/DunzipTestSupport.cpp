#include "DunzipTestSupport.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace quarvo::testing {

namespace {

int onMessage(const char* text, uint32_t, void* data)
{
    static_cast<UnzipRun*>(data)->messages.emplace_back(text);
    return 0;
}

int onStatus(const char* text, uint32_t percent, void* data)
{
    auto* run = static_cast<UnzipRun*>(data);
    run->statuses.emplace_back(text);
    run->percents.push_back(percent);
    return run->onStatus ? run->onStatus(text) : 0;
}

} // namespace

bool UnzipRun::mentioned(const std::string& part) const
{
    return std::any_of(messages.begin(), messages.end(),
                       [&](const std::string& text) { return text.find(part) != std::string::npos; });
}

std::string UnzipRun::allMessages() const
{
    std::string all;
    for (const std::string& text : messages)
        all += text + "\n";
    return all;
}

UnzipRun runDunzip(const std::string& archive, const std::string& destination,
                   const std::function<void(UnzipCommand&)>& configure,
                   std::function<int(const std::string&)> status)
{
    UnzipRun run;
    run.onStatus = std::move(status);
    UnzipCommand command;
    command.function = UnzipFunction::Extract;
    command.archivePath = archive.c_str();
    command.itemSpecification = "\"*.*\"";
    command.destinationDirectory = destination.empty() ? nullptr : destination.c_str();
    command.testOnly = destination.empty() ? 1 : 0;
    command.reserved56 = 1;
    command.optionBits = 2;
    command.messageCallback = onMessage;
    command.messageCallbackData = &run;
    command.statusCallback = onStatus;
    command.statusCallbackData = &run;
    if (configure)
        configure(command);
    run.result = dunzip(&command);
    return run;
}

std::string deflateRaw(const std::string& data, int level)
{
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, data.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

bool haveTool(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

bool runQuietly(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::string> treeOf(const std::string& root)
{
    std::vector<std::string> paths;
    for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
        std::string relative = std::filesystem::relative(item.path(), root).string();
        paths.push_back(item.is_directory() && !item.is_symlink() ? relative + "/" : relative);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace quarvo::testing
