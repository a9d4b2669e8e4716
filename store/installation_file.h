// dir.vnd: the installation directory recorded on a user's first start and
// read back on every later one.
#pragma once

#include <string>

#include "store/replace_file.h"

namespace store {

// The first line of the file at `filePath`; false when it cannot be opened
// (a folder by that name, a file another program holds).
bool readInstallationRecord(const std::string& filePath, std::string& line);

// Replaces the file with `directory` and its CR LF; `replacement` holds what a
// fault in the middle of it left behind.
void writeInstallationRecord(const std::string& filePath, const std::string& directory, Replacement& replacement);

}  // namespace store
