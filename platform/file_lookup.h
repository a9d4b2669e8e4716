// The file lookup each implementation of the services makes; fileSize wraps it.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Size in bytes of the first entry matching `path`, whose last part the system
// reads as a pattern where it holds '?' or '*'; -1 when nothing matches.
std::int64_t firstMatchSize(const std::string& path);

}  // namespace platform
