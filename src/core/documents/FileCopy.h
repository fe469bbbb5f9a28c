#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace quarvo {

// Called after each block written with the bytes copied so far; returning false stops the copy.
using CopyProgress = std::function<bool(uint64_t copied)>;

// Copies everything from the open descriptor `from`, read from where it stands, to the open
// descriptor `to` through one buffer of bufferSize bytes, without any translation. Returns 0, or the
// error number of the first read or write that failed (ECANCELED when progress stopped it). The
// caller owns both descriptors and what to do with a partial copy.
int copyFileData(int from, int to, size_t bufferSize, const CopyProgress& progress = {});

} // namespace quarvo
