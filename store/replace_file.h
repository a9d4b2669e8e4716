// Replacing a whole file so that a failure or a kill at any moment leaves
// either the old contents or the new ones, never a mixture or nothing.
#pragma once

#include <string>

namespace store {

// Writes `bytes` to a temporary file beside `path`, flushes it to the disk and
// moves it over `path` in one step. On any failure `path` keeps its old bytes
// and the temporary file is removed. True when `path` holds the new bytes.
bool replaceFileContents(const std::string& path, const std::string& bytes);

}  // namespace store
