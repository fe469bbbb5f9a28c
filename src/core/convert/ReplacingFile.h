#pragma once

#include "core/base/Result.h"
#include "core/convert/ConvertError.h"

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace quarvo {

// A new file that takes the place of target only once it is whole. It is written under a hidden
// temporary name in the target's directory (so the rename cannot cross file systems), flushed to the
// disk and renamed over the target by commit(). Until then the target, which may be the very file
// being read, is untouched; a writer that is destroyed without a commit removes its temporary file,
// so a failure at any step leaves no partial file.
class ReplacingFile {
  public:
    // The system's write(2); tests put in one that fails, to stand for a full disk.
    using WriteCall = std::function<ssize_t(int descriptor, const void* data, size_t count)>;

    // Creates the temporary file beside target with the permissions a new file gets (0666, or 0777
    // for a program, less the umask). Fails as CannotCreateOutput with the system's reason.
    static Result<ReplacingFile, ConvertError> create(const std::string& target, bool executable = false,
                                                      WriteCall write = {});
    ReplacingFile(ReplacingFile&& other) noexcept;
    ReplacingFile& operator=(ReplacingFile&&) = delete;
    ~ReplacingFile();

    // Appends bytes; false once any write failed (every later call then fails too).
    bool write(std::span<const uint8_t> bytes);
    // Bytes written so far.
    uint64_t position() const { return m_position; }
    // Flushes, closes and renames the file over the target. Fails as WriteFailed; the temporary
    // file is then gone and the target untouched.
    Result<Ok, ConvertError> commit();
    const std::string& temporaryPath() const { return m_temporaryPath; }

  private:
    ReplacingFile(int descriptor, std::string temporaryPath, std::string target, WriteCall write);
    bool flushBuffer();
    void discard();

    int m_descriptor = -1;
    std::string m_temporaryPath;
    std::string m_target;
    WriteCall m_write;
    std::vector<uint8_t> m_buffer;
    uint64_t m_position = 0;
    int m_failure = 0; // the errno of the first failed write
};

} // namespace quarvo
