// The per-user data folder and the installation-directory file dir.vnd.
#pragma once

#include <string>

namespace app {

// Creates every missing folder from the profile down to the data folder.
void createDataFolder();

// Records the installation directory on the first start, reads it back on
// later ones, and returns it (a directory ending in a backslash, or empty).
std::string prepareInstallationDirectory();

}  // namespace app
