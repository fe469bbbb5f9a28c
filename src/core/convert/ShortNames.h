#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

namespace quarvo {

// Gives stored names the short MS-DOS form a DOS or Windows self-extractor needs: every path
// component upper-cased and cut to at most eight characters, a dot and three, unique within its
// directory. One map serves one conversion, so a directory keeps the short name it got first.
//
// A component without a space or "+", whose base name has at most eight characters and no dot and
// whose extension (with its dot) has at most four, stays as it is. Any other one, or one whose name
// is already given in its directory, becomes the base name's characters without spaces and dots,
// "+" turned into "_", cut so that "~" and the attempt number n fit in eight characters, then "." and
// the extension's first three characters treated the same way; n counts up from 1 until the result
// is new in the directory. Bytes outside ASCII become "_" there, so a cut never splits a character.
class ShortNameMap {
  public:
    // The short form of a stored name, "/" kept as the separator (a trailing one too). Each call
    // for a file gives a new name; a directory component met before keeps its short name.
    std::string shortNameOf(std::string_view storedName);

  private:
    // Short names given in one directory, and the directories among them by their stored name.
    struct Directory {
        std::set<std::string> given;
        std::map<std::string, std::string> subdirectories;
    };

    std::string directoryComponent(const std::string& parent, const std::string& component);
    std::string fileComponent(const std::string& parent, const std::string& component);
    // Rule 1, or the attempts of rule 2 until the name is new in the directory.
    static std::string uniqueShortName(const Directory& directory, const std::string& component);

    // By the short path of the directory ("" is the top).
    std::map<std::string, Directory> m_directories;
};

} // namespace quarvo
