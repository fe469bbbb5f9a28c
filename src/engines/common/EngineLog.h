#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace quarvo {

// The readable log an engine appends to when its command block asks for one. Each line is stamped
// with the local date and time. A log that cannot be opened or written is given up silently: the
// operation it describes must not fail because of it.
class EngineLog {
  public:
    // A log that records nothing.
    EngineLog() = default;
    // Appends to the file at path, creating it and its directories on the first line.
    explicit EngineLog(std::string path);
    ~EngineLog();
    EngineLog(const EngineLog&) = delete;
    EngineLog& operator=(const EngineLog&) = delete;

    // $XDG_STATE_HOME/quarvo/fileName, or ~/.local/state/quarvo/fileName when XDG_STATE_HOME is unset
    // or not absolute. Empty when neither it nor HOME is known.
    static std::string defaultPath(std::string_view fileName);

    bool enabled() const { return !m_path.empty(); }
    // Appends one line; line ends inside the text are kept, a final one is added.
    void write(std::string_view text);

  private:
    std::string m_path;
    std::FILE* m_file = nullptr;
    bool m_failed = false;
};

} // namespace quarvo
