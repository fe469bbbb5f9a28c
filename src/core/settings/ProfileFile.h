#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quarvo {

// A profile (INI) file held as its lines: "[Section]" headers and "Key=Value" lines, anything else
// (comments, blank lines, unreadable text) kept as it is. Sections and keys are found ignoring
// letter case; when a section or key appears twice, the first one counts, for reading and writing
// alike. A write replaces a value in place and leaves every other line where it was, so hand-made
// comments, foreign sections and the order of keys survive. The text is UTF-8; CRLF line ends are
// read, LF is written.
class ProfileFile {
  public:
    // An empty profile. Saving it after writing keys is the whole-file rewrite of the job files.
    ProfileFile() = default;

    // The profile in text. Never fails: a line that is neither header nor key is kept but unused.
    static ProfileFile parse(std::string_view text);
    // The profile at path; a missing or unreadable file gives an empty profile.
    static ProfileFile load(const std::string& path);
    // The profile at path for a change: empty when no file is there, nullopt when something is
    // there that cannot be read as a file (no permission, a directory, a pipe or device). Such a
    // thing must not be replaced by a save, which would lose what it holds.
    static std::optional<ProfileFile> loadForUpdate(const std::string& path);

    // The value stored under section and key, verbatim (no trimming, no unquoting); nullopt when the
    // section or key is absent.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // The stored text, or defaultValue when the key is absent.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // The stored number by the decimal rule (parseLeadingInteger), not range-checked; defaultValue
    // when the key is absent or its value is empty.
    int readInt(std::string_view section, std::string_view key, int defaultValue) const;
    bool hasSection(std::string_view section) const;
    // The keys of a section in file order, each with its value verbatim: the first of a repeated
    // key only. Empty when the section is absent.
    std::vector<std::pair<std::string, std::string>> keys(std::string_view section) const;

    // Sets the value of a key: in place when the key exists, else appended to its section, else in a
    // new section at the end. A value is written up to its first line break, which could not be read
    // back. Returns false, changing nothing, for a name that would not read back as itself: an empty
    // key, a key starting with ";" or holding "=", a section holding "]", either with blanks around it
    // or a line break.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool writeInt(std::string_view section, std::string_view key, int value);
    // Removes the first line of the key, if there is one.
    void removeKey(std::string_view section, std::string_view key);
    // Forgets every line.
    void clear() { m_lines.clear(); }

    // The file's text: every line followed by LF.
    std::string text() const;

    // Who may read the saved file. KeepPermissions gives the old file's mode (a new file 0666 less
    // the umask); OwnerOnly makes the file, and its temporary file from its creation on, 0600, for
    // files that hold a password.
    enum class Access { KeepPermissions, OwnerOnly };

    // Replaces the file at path with text(), atomically: the text goes to a new file in the same
    // directory, is flushed to the disk and renamed over the old one, so a crash or a failure leaves
    // either the old file or the new one, never a truncated mix. A symbolic link at path is followed
    // and its target replaced. Returns false when the file could not be written (the old one is then
    // untouched); errno then tells why.
    bool save(const std::string& path, Access access = Access::KeepPermissions) const;

  private:
    enum class LineKind { Other, Section, Key };

    struct Line {
        LineKind kind = LineKind::Other;
        std::string text;       // the line as stored, without its line end
        std::string name;       // section or key name, trimmed
        size_t valueOffset = 0; // Key: where the value starts in text
    };

    static Line parseLine(std::string_view text, bool inSection);
    // Index of the first header of section, or npos.
    size_t findSection(std::string_view section) const;
    // Index of the first line of key within the section starting at sectionIndex, or npos.
    size_t findKey(size_t sectionIndex, std::string_view key) const;
    // One past the last line that belongs to the section starting at sectionIndex.
    size_t sectionEnd(size_t sectionIndex) const;

    std::vector<Line> m_lines;
};

} // namespace quarvo
