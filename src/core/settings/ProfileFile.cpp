#include "core/settings/ProfileFile.h"

#include "core/base/DescriptorWrite.h"
#include "core/base/TextCase.h"
#include "core/settings/LeadingInteger.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace quarvo {

namespace {

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr int MaximumLinkDepth = 40;
constexpr int TemporaryNameAttempts = 100;

std::string_view trimBlanks(std::string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(begin, end - begin);
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A key that reads back as itself: not empty, not a comment, no "=", no blanks around it.
bool isStorableKey(std::string_view key)
{
    return !key.empty() && key.front() != ';' && trimBlanks(key) == key &&
           key.find('=') == std::string_view::npos && !hasLineBreak(key);
}

// A section name that reads back as itself: no "]", no blanks around it.
bool isStorableSection(std::string_view section)
{
    return trimBlanks(section) == section && section.find(']') == std::string_view::npos &&
           !hasLineBreak(section);
}

// The file a write to path should replace: path itself, or the final target of a symbolic link at
// path, so a profile linked from elsewhere (a dotfiles checkout) stays a link.
std::filesystem::path writeTarget(const std::filesystem::path& path)
{
    std::filesystem::path current = path;
    for (int depth = 0; depth < MaximumLinkDepth; ++depth) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, error)))
            return current;
        std::filesystem::path link = std::filesystem::read_symlink(current, error);
        if (error)
            return current;
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    return current;
}

// Creates a fresh file beside target for the new contents; returns its descriptor (or -1) and name.
int createTemporaryBeside(const std::filesystem::path& target, std::string& temporaryName, mode_t mode)
{
    static std::atomic<unsigned> counter{0};
    std::filesystem::path directory = target.parent_path();
    std::string prefix = "." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        temporaryName = (directory / (prefix + std::to_string(counter++))).string();
        int descriptor = ::open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

// Makes the rename itself durable; a failure here cannot be undone and is not one of the caller's.
void syncDirectory(const std::filesystem::path& directory)
{
    std::string name = directory.empty() ? std::string(".") : directory.string();
    int descriptor = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

} // namespace

ProfileFile::Line ProfileFile::parseLine(std::string_view text, bool inSection)
{
    Line line;
    line.text = std::string(text);
    std::string_view trimmed = trimBlanks(text);
    if (!trimmed.empty() && trimmed.front() == '[') {
        size_t close = trimmed.find(']');
        // A header without its "]" is no header: its keys would otherwise land in a section nobody
        // asked for. It stays an unused line and its keys belong to the section before it.
        if (close != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = std::string(trimBlanks(trimmed.substr(1, close - 1)));
        }
        return line;
    }
    if (!inSection || trimmed.empty() || trimmed.front() == ';')
        return line;
    size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return line;
    std::string_view name = trimBlanks(text.substr(0, equals));
    if (name.empty())
        return line;
    line.kind = LineKind::Key;
    line.name = std::string(name);
    line.valueOffset = equals + 1;
    return line;
}

ProfileFile ProfileFile::parse(std::string_view text)
{
    // Editors on other systems like to start UTF-8 files with a byte-order mark; it is no part of
    // the first line.
    while (text.substr(0, Utf8ByteOrderMark.size()) == Utf8ByteOrderMark)
        text.remove_prefix(Utf8ByteOrderMark.size());
    ProfileFile profile;
    bool inSection = false;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view lineText = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        // Every carriage return before the line feed is line end, so that writing LF and reading
        // again gives the same lines.
        while (!lineText.empty() && lineText.back() == '\r')
            lineText.remove_suffix(1);
        profile.m_lines.push_back(parseLine(lineText, inSection));
        inSection = inSection || profile.m_lines.back().kind == LineKind::Section;
    }
    return profile;
}

std::optional<ProfileFile> ProfileFile::loadForUpdate(const std::string& path)
{
    // Non-blocking, so that a pipe at path cannot stall the program; only regular files are read.
    int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return errno == ENOENT || errno == ENOTDIR ? std::optional<ProfileFile>(ProfileFile{}) : std::nullopt;
    struct stat status {};
    std::string bytes;
    bool readable = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    char buffer[65536];
    while (readable) {
        ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            readable = count == 0;
            break;
        }
        bytes.append(buffer, static_cast<size_t>(count));
    }
    ::close(descriptor);
    if (!readable)
        return std::nullopt;
    return parse(bytes);
}

ProfileFile ProfileFile::load(const std::string& path)
{
    return loadForUpdate(path).value_or(ProfileFile{});
}

size_t ProfileFile::findSection(std::string_view section) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == LineKind::Section && equalsIgnoringCase(m_lines[i].name, section))
            return i;
    }
    return std::string::npos;
}

size_t ProfileFile::sectionEnd(size_t sectionIndex) const
{
    size_t end = sectionIndex + 1;
    while (end < m_lines.size() && m_lines[end].kind != LineKind::Section)
        ++end;
    return end;
}

size_t ProfileFile::findKey(size_t sectionIndex, std::string_view key) const
{
    size_t end = sectionEnd(sectionIndex);
    for (size_t i = sectionIndex + 1; i < end; ++i) {
        if (m_lines[i].kind == LineKind::Key && equalsIgnoringCase(m_lines[i].name, key))
            return i;
    }
    return std::string::npos;
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const
{
    size_t sectionIndex = findSection(section);
    if (sectionIndex == std::string::npos)
        return std::nullopt;
    size_t keyIndex = findKey(sectionIndex, key);
    if (keyIndex == std::string::npos)
        return std::nullopt;
    const Line& line = m_lines[keyIndex];
    return line.text.substr(line.valueOffset);
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const
{
    std::optional<std::string> stored = value(section, key);
    return stored ? *stored : std::string(defaultValue);
}

int ProfileFile::readInt(std::string_view section, std::string_view key, int defaultValue) const
{
    std::optional<std::string> stored = value(section, key);
    if (!stored || stored->empty())
        return defaultValue;
    return parseLeadingInteger(*stored);
}

bool ProfileFile::hasSection(std::string_view section) const
{
    return findSection(section) != std::string::npos;
}

std::vector<std::pair<std::string, std::string>> ProfileFile::keys(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> found;
    size_t sectionIndex = findSection(section);
    if (sectionIndex == std::string::npos)
        return found;
    // Keys are compared ignoring case, as value() finds them.
    std::unordered_set<std::string> seen;
    size_t end = sectionEnd(sectionIndex);
    for (size_t i = sectionIndex + 1; i < end; ++i) {
        const Line& line = m_lines[i];
        if (line.kind != LineKind::Key)
            continue;
        if (seen.insert(toLowerAscii(line.name)).second)
            found.emplace_back(line.name, line.text.substr(line.valueOffset));
    }
    return found;
}

bool ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    if (!isStorableKey(key) || !isStorableSection(section))
        return false;
    value = value.substr(0, value.find_first_of("\r\n"));

    size_t sectionIndex = findSection(section);
    if (sectionIndex == std::string::npos) {
        if (!m_lines.empty() && !trimBlanks(m_lines.back().text).empty())
            m_lines.push_back(Line{});
        m_lines.push_back(parseLine("[" + std::string(section) + "]", true));
        sectionIndex = m_lines.size() - 1;
    }
    size_t keyIndex = findKey(sectionIndex, key);
    if (keyIndex != std::string::npos) {
        Line& line = m_lines[keyIndex];
        line.text.replace(line.valueOffset, std::string::npos, value);
        return true;
    }
    // After the section's last key, so blank lines and comments that close the section stay last.
    size_t insertAt = sectionIndex + 1;
    for (size_t i = sectionIndex + 1; i < sectionEnd(sectionIndex); ++i) {
        if (m_lines[i].kind == LineKind::Key)
            insertAt = i + 1;
    }
    std::string text = std::string(key) + "=" + std::string(value);
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), parseLine(text, true));
    return true;
}

bool ProfileFile::writeInt(std::string_view section, std::string_view key, int value)
{
    return writeString(section, key, std::to_string(value));
}

void ProfileFile::removeKey(std::string_view section, std::string_view key)
{
    size_t sectionIndex = findSection(section);
    if (sectionIndex == std::string::npos)
        return;
    size_t keyIndex = findKey(sectionIndex, key);
    if (keyIndex != std::string::npos)
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(keyIndex));
}

std::string ProfileFile::text() const
{
    size_t size = 0;
    for (const Line& line : m_lines)
        size += line.text.size() + 1;
    std::string result;
    result.reserve(size);
    for (const Line& line : m_lines) {
        result += line.text;
        result += '\n';
    }
    return result;
}

bool ProfileFile::save(const std::string& path, Access access) const
{
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    std::filesystem::path target = writeTarget(path);
    std::string temporaryName;
    const bool ownerOnly = access == Access::OwnerOnly;
    int descriptor = createTemporaryBeside(target, temporaryName, ownerOnly ? 0600 : 0666);
    if (descriptor < 0)
        return false;

    // Keep the permissions the user gave the old file; a new one gets the usual 0666 less umask.
    struct stat old {};
    if (!ownerOnly && ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(descriptor, old.st_mode & 07777);

    // The first failure is the one the caller hears of; a write of no bytes has no errno of its own.
    int failure = 0;
    errno = 0;
    if (writeFully(descriptor, text()) != 0 || ::fsync(descriptor) != 0)
        failure = errno != 0 ? errno : EIO;
    if (::close(descriptor) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && ::rename(temporaryName.c_str(), target.c_str()) != 0)
        failure = errno;
    if (failure != 0) {
        ::unlink(temporaryName.c_str());
        errno = failure;
        return false;
    }
    syncDirectory(target.parent_path());
    return true;
}

} // namespace quarvo
