#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace quarvo::testing {

// A fresh directory under the system's temporary directory, removed with everything in it when the
// object goes away.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // path() / relative, as a string.
    std::string file(const std::string& relative) const { return (m_path / relative).string(); }

private:
    std::filesystem::path m_path;
};

// Writes bytes to path, creating parent directories.
void writeFile(const std::filesystem::path& path, const std::string& bytes);
// The whole file, or an empty text when it cannot be read.
std::string readFile(const std::filesystem::path& path);
// Every regular file below root with its contents, by path relative to root.
std::map<std::string, std::string> treeContents(const std::filesystem::path& root);
// Bytes that do not compress, the same for the same seed.
std::string randomBytes(size_t count, unsigned seed);

// Sets an environment variable for the lifetime of the object and restores the old state after.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::string& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

} // namespace quarvo::testing
