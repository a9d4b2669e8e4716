// The installation directory is recorded once, on the first start for this
// user, in dir.vnd under the profile, and read back on every later start.
#include "app/data_folder.h"

#include "platform/system.h"

namespace app {

namespace {

// The folders between the profile and the data folder, in creation order.
constexpr const char* DATA_FOLDER_STEPS[] = {
    "\\Local Settings", "\\Application Data", "\\Varnel", "\\MP3"};

std::string profileRoot() { return platform::environmentVariable("USERPROFILE"); }

}  // namespace

std::string makerFolderPath() { return profileRoot() + "\\Local Settings\\Application Data\\Varnel"; }

std::string dataFolderPath() { return makerFolderPath() + "\\MP3"; }

std::string installationFilePath() { return dataFolderPath() + "\\dir.vnd"; }

std::string listFilePath() { return dataFolderPath() + "\\list.vnp"; }

// A Wine prefix or a trimmed profile lacks "Local Settings" and "Application
// Data"; without them neither data file could ever be written. Where a folder
// exists its creation just fails, which is ignored.
void createDataFolder() {
    std::string path = profileRoot();
    for (const char* step : DATA_FOLDER_STEPS) {
        path += step;
        platform::createFolder(path);
    }
}

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

std::string prepareInstallationDirectory() {
    std::string directory = platform::currentDirectory() + "\\";
    const std::string filePath = installationFilePath();
    if (platform::fileSize(filePath) == -1) {
        createDataFolder();
        const int file = platform::openFile(filePath, platform::FileMode::WriteTruncate);
        if (file != -1) {
            const std::string content = directory + "\r\n";
            platform::writeFile(file, content.data(), static_cast<int>(content.size()));
            platform::closeFile(file);
        }
        return directory;
    }
    const int file = platform::openFile(filePath, platform::FileMode::ReadWriteAlways);
    std::string bytes;
    if (file != -1) {
        bytes = readRemainingBytes(file);
        platform::closeFile(file);
    }
    std::size_t position = 0;
    return nextLine(bytes, position);
}

}  // namespace app
