#pragma once

#include "engines/api/EngineResult.h"

#include <cstdint>
#include <string>

namespace quarvo {

class UserInterface;

// What running a job returns: the engine's result (EngineResult::Ok, 0, is the only success), or
// Refused when the job was not handed to the engine at all.
namespace JobResult {
// The job could not run as it is (it names no archive, or its command is none the program knows),
// or its file could not be read: the user was told why. The same number as the engines' "bad
// argument", so a script sees one code for "the request itself was wrong".
constexpr uint16_t Refused = EngineResult::BadArgument;
} // namespace JobResult

// Tells the user why a job was not run, and returns JobResult::Refused.
uint16_t refuseJob(UserInterface& ui, const std::string& reason);

} // namespace quarvo
