#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quarvo {

// The name of the file a compressed stream unpacks to, made from the archive's own file name (never
// from a name stored inside the stream, which may hold "../" or anything else): a suffix that
// stands for a compressed TAR archive becomes ".tar" (x.tgz, x.taz, x.tbz2, x.txz, x.tzst, x.tlz),
// a compression suffix is dropped (x.tar.gz gives x.tar, x.gz gives x, x.Z gives x; any letter
// case), and a name with neither gets ".unpacked" appended, so the unpacked file never takes the
// archive's own name.
std::string unpackedNameFor(std::string_view archiveFileName);

// The n-th alternative to a name that is taken (n from 2): " (n)" before the last extension, or at
// the end when there is none ("x.tar" gives "x (2).tar").
std::string alternativeName(std::string_view name, unsigned n);

} // namespace quarvo
