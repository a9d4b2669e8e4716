// File services whose rule is the same on every system, over each one's own lookup.
#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/media_text.h"

namespace platform {

// A path holding '?' or '*' names no file: the lookup would take it as a
// pattern and could answer with another file's size.
std::int64_t fileSize(const std::string& path) {
    if (path.empty() || holdsWildcard(path)) return -1;
    return firstMatchSize(path);
}

}  // namespace platform
