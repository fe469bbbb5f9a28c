#pragma once

#include <memory>
#include <optional>
#include <string>

typedef struct _GAppInfo GAppInfo;

namespace quarvo::gui {

// An application the desktop associates with a file's type: GIO's description of one desktop entry
// (a .desktop file under $XDG_DATA_HOME or $XDG_DATA_DIRS), held for as long as this object lives.
class AssociatedProgram {
  public:
    // Takes over the caller's reference to appInfo, which must not be null.
    explicit AssociatedProgram(GAppInfo* appInfo);

    GAppInfo* appInfo() const { return m_appInfo.get(); }
    // The desktop entry's id, its file name such as "org.example.Viewer.desktop".
    const std::string& id() const { return m_id; }
    // The name the user knows it by, for messages.
    const std::string& displayName() const { return m_displayName; }
    // The program of its command line, as written there (a bare name or a path).
    const std::string& executable() const { return m_executable; }

  private:
    struct Unreference {
        void operator()(GAppInfo* appInfo) const;
    };
    std::unique_ptr<GAppInfo, Unreference> m_appInfo;
    std::string m_id;
    std::string m_displayName;
    std::string m_executable;
};

// The content type of the file at path, guessed by GIO from its name and, for a regular file, its
// first bytes ("text/plain", "application/octet-stream" when nothing fits).
std::string contentTypeOf(const std::string& path);

// The default application for the content type of the file at path, as GIO chooses it: the one that
// mimeapps.list (in $XDG_CONFIG_HOME, $XDG_CONFIG_DIRS and the data directories) names for the type
// or a type it derives from, else one that the desktop's index of installed applications
// (mimeinfo.cache, written by update-desktop-database) lists for it. nullopt when none takes the
// type; the caller reports that as NoAssociation. Nothing here runs a shell or any program.
std::optional<AssociatedProgram> programFor(const std::string& path);

} // namespace quarvo::gui
