#include "DzipTestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>

namespace quarvo::testing {

namespace {

int recordMessage(const char* text, uint32_t, void* data)
{
    auto* record = static_cast<EngineRecord*>(data);
    record->messages.push_back(text);
    if (record->onMessage)
        record->onMessage(text);
    return 0;
}

int recordStatus(const char* text, uint32_t percent, void* data)
{
    auto* record = static_cast<EngineRecord*>(data);
    record->statuses.push_back(text);
    if (record->onStatus)
        record->onStatus(text);
    if (record->stopWhen && record->stopWhen(text, percent))
        return 1;
    return record->stopAtStatus >= 0 && static_cast<int>(record->statuses.size()) >= record->stopAtStatus ? 1
                                                                                                          : 0;
}

std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

} // namespace

ZipCommand makeCommand(uint32_t function, const std::string& archive, const std::string& items,
                       EngineRecord& record)
{
    ZipCommand command;
    command.function = function;
    command.archivePath = archive.c_str();
    command.itemSpecification = items.c_str();
    command.messageCallback = recordMessage;
    command.messageCallbackData = &record;
    command.statusCallback = recordStatus;
    command.statusCallbackData = &record;
    command.compressionLevel = 5;
    command.optionBits = ZipOptionBits::Default;
    return command;
}

bool toolAvailable(const char* tool)
{
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string commandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    pclose(pipe);
    return output;
}

std::vector<ListedEntry> listArchive(const std::string& archive, const std::string& password)
{
    const std::string script =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "if sys.argv[2]: z.setpassword(sys.argv[2].encode())\n"
        "bad = z.testzip()\n"
        "print(\"BAD\" if bad else \"OK\")\n"
        "for i in z.infolist(): print(\"%s\\t%d\\t%d\" % (i.filename, i.file_size, i.CRC))\n";
    const std::string output = commandOutput("python3 -c " + quoted(script) + " " + quoted(archive) + " " +
                                             quoted(password) + " 2>&1");
    std::istringstream lines(output);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "OK") << output;
    std::vector<ListedEntry> entries;
    while (std::getline(lines, line)) {
        ListedEntry entry;
        const size_t first = line.find('\t'), second = line.rfind('\t');
        if (first == std::string::npos || first == second)
            continue;
        entry.name = line.substr(0, first);
        entry.size = std::stoull(line.substr(first + 1, second - first - 1));
        entry.crc = static_cast<uint32_t>(std::stoul(line.substr(second + 1)));
        entries.push_back(entry);
    }
    return entries;
}

void expectToolsAccept(const std::string& archive, const std::string& password)
{
    if (!toolAvailable("unzip") || !toolAvailable("7z") || !toolAvailable("python3"))
        GTEST_SKIP() << "unzip, 7z or python3 is missing";
    const std::string unzipPassword = password.empty() ? "" : " -P " + quoted(password);
    EXPECT_EQ(std::system(("unzip -tq" + unzipPassword + " " + quoted(archive) + " >/dev/null 2>&1").c_str()),
              0)
        << "unzip -t rejects " << archive;
    const std::string sevenPassword = " -p" + quoted(password);
    EXPECT_EQ(std::system(("7z t" + sevenPassword + " " + quoted(archive) + " >/dev/null 2>&1").c_str()), 0)
        << "7z t rejects " << archive;
    listArchive(archive, password);
}

std::vector<std::string> namesIn(const std::string& archive)
{
    std::vector<std::string> names;
    for (const ListedEntry& entry : listArchive(archive))
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

int leftoverTemporaryFiles(const std::filesystem::path& directory)
{
    int count = 0;
    for (const auto& item : std::filesystem::directory_iterator(directory)) {
        if (item.path().filename().string().rfind(".quarvo-zip-", 0) == 0)
            ++count;
    }
    return count;
}

uint32_t crcOf(const std::string& bytes)
{
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

void setModified(const std::filesystem::path& path, std::time_t time)
{
    struct timespec times[2] = {{time, 0}, {time, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::string inflateRaw(const std::vector<uint8_t>& stream, size_t size)
{
    z_stream inflater{};
    inflateInit2(&inflater, -MAX_WBITS);
    std::string out(size + 1, '\0');
    inflater.next_in = const_cast<Bytef*>(stream.data());
    inflater.avail_in = static_cast<uInt>(stream.size());
    inflater.next_out = reinterpret_cast<Bytef*>(out.data());
    inflater.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&inflater, Z_FINISH);
    const bool whole = status == Z_STREAM_END && inflater.avail_in == 0;
    out.resize(inflater.total_out);
    inflateEnd(&inflater);
    return whole ? out : "(damaged)";
}

std::string textData(size_t size, unsigned seed)
{
    static const char* words[] = {"archive ",   "entry ",   "deflate ", "quarvo ",
                                  "directory ", "header\n", "data "};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size)
        text += words[random() % 7];
    text.resize(size);
    return text;
}

std::string skewedNoise(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 4 == 0 ? random() : random() & 0x0F);
    return bytes;
}

} // namespace quarvo::testing
