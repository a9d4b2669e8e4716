// Where the player's two data files live, and the reading they share: the
// per-user data folder's paths and a line reader that accepts every terminator.
#pragma once

#include <cstddef>
#include <string>

namespace store {

// Paths below the profile, built afresh from USERPROFILE on every call; empty
// when the profile is not usable (not set, not kept, not absolute).
std::string profileRoot();
std::string makerFolderPath();
std::string dataFolderPath();
std::string installationFilePath();
std::string listFilePath();

// Creates every missing folder from the profile down to the data folder;
// nothing without a usable profile.
void createDataFolder();

// All bytes of an open file, read from its current position.
std::string readRemainingBytes(int file);

// The next line of `bytes` from `position`: it ends at CR LF, a lone CR, a lone
// LF, a NUL or the end; the terminator is consumed but not returned.
// Past the end the line is empty.
std::string nextLine(const std::string& bytes, std::size_t& position);

// Lines of an open file read a chunk at a time, so that a reader that needs
// only the first lines of a huge file never holds it whole.
struct LineReader {
    int file = -1;
    std::string bytes;
    std::size_t position = 0;
    std::size_t searched = 0;  // the bytes from `position` up to here hold no whole line's end
    std::size_t examined = 0;  // bytes the search for line ends looked at: each once, a CR at the end twice
    bool atEnd = false;
    bool failed = false;  // a read failed: the bytes after it were never seen
};
// The next line as `nextLine` cuts it; false when the file has no more bytes.
bool readLine(LineReader& reader, std::string& line);

}  // namespace store
