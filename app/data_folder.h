// The per-user data folder and the installation-directory file dir.vnd.
#pragma once

#include <string>

#include "store/replace_file.h"

namespace app {

// Creates every missing folder from the profile down to the data folder;
// nothing without a usable profile.
void createDataFolder();

// The folder the running program lies in, ending in a separator; empty when
// its path cannot be known.
std::string programFolder();

// Records the installation directory on the first start, reads it back on
// later ones, and returns it (a directory ending in a backslash, or empty).
// `replacement` holds what a fault in the middle of recording it left behind.
std::string prepareInstallationDirectory(store::Replacement& replacement);

}  // namespace app
