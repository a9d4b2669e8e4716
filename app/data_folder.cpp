// The installation directory is recorded once, on the first start for this
// user, in dir.vnd under the profile, and read back on every later start.
#include "app/data_folder.h"

#include "platform/system.h"
#include "store/data_files.h"

namespace app {

namespace {

// The folders between the profile and the data folder, in creation order.
constexpr const char* DATA_FOLDER_STEPS[] = {"\\Local Settings", "\\Application Data", "\\Varnel", "\\MP3"};

}  // namespace

// A Wine prefix or a trimmed profile lacks "Local Settings" and "Application
// Data"; without them neither data file could ever be written. Where a folder
// exists its creation just fails, which is ignored.
void createDataFolder() {
    std::string path = store::profileRoot();
    for (const char* step : DATA_FOLDER_STEPS) {
        path += step;
        platform::createFolder(path);
    }
}

// A working directory that cannot be known (longer than the 260-character
// buffer, or one the code page cannot spell without a short form) gets the
// stand-in "\" for this run only: it is not recorded, so the next start is a
// first start again instead of looking at the drive's root for good.
std::string prepareInstallationDirectory() {
    const std::string working = platform::singleBytePath(platform::currentDirectory());
    std::string directory = working + "\\";
    const std::string filePath = store::installationFilePath();
    if (platform::fileSize(filePath) == -1) {
        createDataFolder();
        if (working.empty()) return directory;
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
        bytes = store::readRemainingBytes(file);
        platform::closeFile(file);
    }
    std::size_t position = 0;
    return store::nextLine(bytes, position);
}

}  // namespace app
