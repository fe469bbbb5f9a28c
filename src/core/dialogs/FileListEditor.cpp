#include "core/dialogs/FileListEditor.h"

#include "core/dialogs/FileListLines.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"

#include <algorithm>

namespace quarvo {

FileListEditor::FileListEditor(UserInterface& ui, std::string zipFromDirectory,
                               std::vector<std::string> includeLines, std::vector<std::string> excludeLines)
    : m_ui(ui), m_zipFromDirectory(std::move(zipFromDirectory)), m_currentDirectory(m_zipFromDirectory),
      m_include(std::move(includeLines)), m_exclude(std::move(excludeLines))
{
}

void FileListEditor::setCurrentDirectory(std::string directory, bool onSameVolume)
{
    m_currentDirectory = std::move(directory);
    m_onSameVolume = onSameVolume;
}

std::string FileListEditor::lineFor(const std::string& name) const
{
    const bool relative = !m_fullPath && m_onSameVolume;
    std::string part =
        relative ? relativeDirectory(m_currentDirectory, m_zipFromDirectory) : m_currentDirectory;
    return fileListLine(part, name);
}

bool FileListEditor::checkFilter(const std::string& filter)
{
    if (isAcceptableFilter(filter))
        return true;
    m_ui.showMessage(
        MessageBoxRequest{"Illegal filter:\n" + filter, MessageButtons::Ok, MessageIcon::None, 0, {}});
    return false;
}

FileListEditor::FilterOutcome FileListEditor::addFilter(List list, const std::string& filter)
{
    if (!checkFilter(filter))
        return FilterOutcome::Illegal;
    std::string line = lineFor(filter);
    std::vector<std::string>& lines = linesOf(list);
    if (containsLineIgnoringCase(lines, line)) {
        m_ui.showMessage(MessageBoxRequest{
            "Filter " + line + " already added!", MessageButtons::Ok, MessageIcon::Warning, 0, {}});
        return FilterOutcome::AlreadyPresent;
    }
    lines.push_back(std::move(line));
    return FilterOutcome::Added;
}

int FileListEditor::addFiles(List list, const std::vector<std::string>& names)
{
    std::vector<std::string>& lines = linesOf(list);
    int added = 0;
    for (const std::string& name : names) {
        std::string line = lineFor(name);
        if (!containsLineIgnoringCase(lines, line)) {
            lines.push_back(std::move(line));
            ++added;
            continue;
        }
        int answer =
            m_ui.showMessage(MessageBoxRequest{"File " + line + " already added!\nContinue adding next file?",
                                               MessageButtons::YesNo,
                                               MessageIcon::Warning,
                                               0,
                                               {}});
        if (answer != DialogResult::Yes)
            break;
    }
    return added;
}

void FileListEditor::deleteLines(List list, std::vector<int> rows)
{
    std::vector<std::string>& lines = linesOf(list);
    // From the last row upwards, so the rows still to go keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) {
        if (row >= 0 && static_cast<size_t>(row) < lines.size())
            lines.erase(lines.begin() + row);
    }
}

const std::vector<std::string>& FileListEditor::lines(List list) const
{
    return list == List::Include ? m_include : m_exclude;
}

std::vector<std::string>& FileListEditor::linesOf(List list)
{
    return list == List::Include ? m_include : m_exclude;
}

} // namespace quarvo
