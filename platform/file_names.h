// What a path must not hold to name one file, the same for every implementation of the services.
#pragma once

#include <string>

namespace platform {

// '?' and '*' are what characters outside the single-byte code page become; a
// file lookup would read them as a pattern and could find another file.
inline bool holdsWildcard(const std::string& path) {
    return path.find_first_of("?*") != std::string::npos;
}

}  // namespace platform
