// dir.vnd's reading and writing.
#include "store/installation_file.h"

#include <cstddef>

#include "platform/files.h"
#include "store/data_files.h"

namespace store {

bool readInstallationRecord(const std::string& filePath, std::string& line) {
    const int file = platform::openFile(filePath, platform::FileMode::ReadExisting);
    if (file == -1) return false;
    const std::string bytes = readRemainingBytes(file);
    platform::closeFile(file);
    std::size_t position = 0;
    line = nextLine(bytes, position);
    return true;
}

void writeInstallationRecord(const std::string& filePath, const std::string& directory, Replacement& replacement) {
    replaceFileContents(filePath, directory + "\r\n", replacement);
}

}  // namespace store
