// The installation directory: the program's folder and the one dir.vnd records.
#pragma once

#include <string>

#include "store/replace_file.h"

namespace app {

// The folder the running program lies in, ending in a separator; empty when
// its path cannot be known.
std::string programFolder();

// Records the installation directory on the first start, reads it back on
// later ones, and returns it (a directory ending in a backslash, or empty).
// `replacement` holds what a fault in the middle of recording it left behind.
std::string prepareInstallationDirectory(store::Replacement& replacement);

}  // namespace app
