// The data folder's paths and the line reader of its files.
#include "store/data_files.h"

#include "platform/system.h"

namespace store {

std::string profileRoot() { return platform::environmentVariable("USERPROFILE"); }

std::string makerFolderPath() { return profileRoot() + "\\Local Settings\\Application Data\\Varnel"; }

std::string dataFolderPath() { return makerFolderPath() + "\\MP3"; }

std::string installationFilePath() { return dataFolderPath() + "\\dir.vnd"; }

std::string listFilePath() { return dataFolderPath() + "\\list.vnp"; }

std::string readRemainingBytes(int file) {
    std::string bytes;
    char chunk[4096];
    for (;;) {
        const int count = platform::readFile(file, chunk, sizeof chunk);
        if (count <= 0) break;
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
    return bytes;
}

std::string nextLine(const std::string& bytes, std::size_t& position) {
    std::string line;
    while (position < bytes.size()) {
        const char byte = bytes[position++];
        if (byte == '\n' || byte == '\0') break;
        if (byte == '\r') {
            if (position < bytes.size() && bytes[position] == '\n') ++position;
            break;
        }
        line.push_back(byte);
    }
    return line;
}

}  // namespace store
