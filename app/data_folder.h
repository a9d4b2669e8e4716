// The per-user data folder, the installation-directory file dir.vnd, and the
// line reading shared by the player's two data files.
#pragma once

#include <cstddef>
#include <string>

namespace app {

// Paths below the profile, built afresh from USERPROFILE on every call.
std::string makerFolderPath();
std::string dataFolderPath();
std::string installationFilePath();
std::string listFilePath();

// Creates every missing folder from the profile down to the data folder.
void createDataFolder();

// Records the installation directory on the first start, reads it back on
// later ones, and returns it (a directory ending in a backslash, or empty).
std::string prepareInstallationDirectory();

// All bytes of an open file, read from its current position.
std::string readRemainingBytes(int file);

// The next line of `bytes` from `position`: it ends at CR LF, a lone CR, a lone
// LF, a NUL or the end; the terminator is consumed but not returned.
// Past the end the line is empty.
std::string nextLine(const std::string& bytes, std::size_t& position);

}  // namespace app
