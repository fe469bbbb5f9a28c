#pragma once

#include <atomic>

namespace quarvo {

// The process-wide cancel requests. A Cancel button (or a quit request seen while the running loop
// pumps the user interface) sets one; the running loop or the callbacks read it and stop; each
// operation clears its flag when it starts.
namespace CancelFlags {
// The ZIP engines' operations (compress, extract, test), set by the progress window's Cancel button.
inline std::atomic<bool> zipEngine{false};
// Unpacking and reading TAR archives and compressed streams.
inline std::atomic<bool> tarLibrary{false};
// The search of the disks for ZIP files.
inline std::atomic<bool> zipSearch{false};
} // namespace CancelFlags

} // namespace quarvo
