#pragma once

// The harnesses' own assertions: a property that does not hold for an input stops the run there,
// as a crash would, so libFuzzer keeps the input as a finding.

#include <cstdlib>

namespace quarvo::fuzz {

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace quarvo::fuzz
