#pragma once

#include <archive.h>

#include <memory>

namespace quarvo {

struct ArchiveReadFree {
    void operator()(archive* handle) const { archive_read_free(handle); }
};

// A libarchive read handle, freed (and closed) with its owner.
using ArchiveReadPointer = std::unique_ptr<archive, ArchiveReadFree>;

} // namespace quarvo
