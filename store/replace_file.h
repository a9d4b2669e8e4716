// Replacing a whole file so that a failure or a kill at any moment leaves
// either the old contents or the new ones, never a mixture or nothing.
#pragma once

#include <string>

namespace store {

// A replacement under way: its temporary file beside the target, and the
// handle while it is written. A fault can break a replacement off anywhere;
// what it leaves is recorded here so that the next attempt clears it away.
struct Replacement {
    std::string temporary;  // empty when none is left
    int file = -1;
};

// Writes `bytes` to a temporary file beside `path`, flushes it to the disk and
// moves it over `path` in one step. On any failure `path` keeps its old bytes
// and the temporary file is removed. An earlier attempt that a fault broke off
// is cleared away first. True when `path` holds the new bytes.
bool replaceFileContents(const std::string& path, const std::string& bytes, Replacement& replacement);
// Closes and removes what a broken-off replacement left: its handle and its temporary file.
void clearAway(Replacement& replacement);

}  // namespace store
