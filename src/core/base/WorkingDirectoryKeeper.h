#pragma once

#include <filesystem>
#include <system_error>

namespace quarvo {

// An engine may change the working directory; the program's is put back whatever it returns.
class WorkingDirectoryKeeper {
  public:
    WorkingDirectoryKeeper() { m_saved = std::filesystem::current_path(m_error); }
    void restore()
    {
        if (m_error)
            return;
        std::error_code ignored;
        std::filesystem::current_path(m_saved, ignored);
    }

  private:
    std::filesystem::path m_saved;
    std::error_code m_error;
};

} // namespace quarvo
