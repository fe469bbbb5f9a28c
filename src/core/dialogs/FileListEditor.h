#pragma once

#include <string>
#include <vector>

namespace quarvo {

class UserInterface;

// The two name lists of the file-list ("Add To File") dialog and the rules for changing them,
// without the widgets: the dialog tells it where the browser stands and what the user picked, and
// shows the lines it keeps. Messages go to the user through the port.
class FileListEditor {
  public:
    enum class List { Include, Exclude };

    enum class FilterOutcome {
        Illegal,        // refused with "Illegal filter:\n"; the browser keeps its filter
        Added,          // the line was appended
        AlreadyPresent, // reported; nothing appended
    };

    // zipFromDirectory is the base of relative lines and the browser's first directory.
    FileListEditor(UserInterface& ui, std::string zipFromDirectory, std::vector<std::string> includeLines,
                   std::vector<std::string> excludeLines);

    // Where the browser stands. onSameVolume tells whether that directory lies on the same mounted
    // volume as the ZIP From directory; across volumes lines carry the full path, as there is no
    // useful way from one to the other.
    void setCurrentDirectory(std::string directory, bool onSameVolume = true);
    const std::string& currentDirectory() const { return m_currentDirectory; }
    void setFullPath(bool fullPath) { m_fullPath = fullPath; }

    // The line for a file or filter name found in the current directory.
    std::string lineFor(const std::string& name) const;

    // Checks filter; an illegal one is reported with "Illegal filter:\n" and false is returned.
    bool checkFilter(const std::string& filter);

    // Add Filter: checks the filter, then appends its line unless it is already there ("Filter ...
    // already added!").
    FilterOutcome addFilter(List list, const std::string& filter);

    // Add Files: appends the line of each name in order. A line already there asks whether to go on
    // with the next file; No stops. Returns how many lines were appended.
    int addFiles(List list, const std::vector<std::string>& names);

    // Removes the lines at the given rows (any order, duplicates and rows out of range ignored).
    void deleteLines(List list, std::vector<int> rows);

    const std::vector<std::string>& lines(List list) const;
    const std::string& zipFromDirectory() const { return m_zipFromDirectory; }

  private:
    std::vector<std::string>& linesOf(List list);

    UserInterface& m_ui;
    std::string m_zipFromDirectory;
    std::string m_currentDirectory;
    bool m_onSameVolume = true;
    bool m_fullPath = false;
    std::vector<std::string> m_include;
    std::vector<std::string> m_exclude;
};

} // namespace quarvo
