#pragma once

// A byte source over the fuzzer's input that counts what a parser reads from it and stops the run
// when that exceeds a fixed number of passes over the input: a parser that reads the same bytes
// again and again for a crafted input is a finding, not a slow input.

#include "core/zip/ByteSource.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

namespace quarvo::fuzz {

class CountingByteSource : public ByteSource {
  public:
    // A few passes for the end record search and the directory, with room for one per entry of
    // short reads (local headers), which cost their size plus a system call on a real file.
    static constexpr uint64_t MaximumPasses = 32;
    static constexpr uint64_t AllowanceBytes = 1 << 20;

    explicit CountingByteSource(std::span<const uint8_t> bytes) : m_memory(bytes) {}

    uint64_t size() const override { return m_memory.size(); }

    size_t readAt(uint64_t offset, std::span<uint8_t> into) override
    {
        size_t count = m_memory.readAt(offset, into);
        m_bytesRead += count;
        if (m_bytesRead > MaximumPasses * size() + AllowanceBytes) {
            std::fprintf(stderr, "unbounded work: %llu bytes read from a %llu-byte input\n",
                         static_cast<unsigned long long>(m_bytesRead), static_cast<unsigned long long>(size()));
            std::abort();
        }
        return count;
    }

  private:
    MemoryByteSource m_memory;
    uint64_t m_bytesRead = 0;
};

} // namespace quarvo::fuzz
