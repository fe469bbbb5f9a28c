#pragma once

#include <cstdint>

namespace quarvo {

// The three callbacks both engines report through. They are called on the thread that called the
// engine. Returning 1 from any of them stops the operation; the engine then returns
// EngineResult::Cancelled.

// A text the user should see (what was done to an entry, why an entry was skipped or failed).
using EngineMessageCallback = int (*)(const char* text, uint32_t unused, void* data);

// Progress: what is being worked on and the percentage of the whole operation done (0 to 100).
using EngineStatusCallback = int (*)(const char* text, uint32_t percent, void* data);

// A text that could be a question, with a code naming it (see EngineQuery). text1 and text2 are the
// engine's own NUL-terminated buffers, which the callee may rewrite in place without making them
// longer; either may be null.
using EngineQueryCallback = int (*)(uint32_t code, uint32_t value1, uint32_t value2, uint32_t value3,
                                    char* text1, char* text2, void* data);

// Codes of the query callback.
namespace EngineQuery {
constexpr uint32_t Notice = 1;       // text1 is a notice; the answer is ignored
constexpr uint32_t ArchiveComment = 13; // text1 is the archive comment, text2 its entry name (never rewritten)
} // namespace EngineQuery

} // namespace quarvo
