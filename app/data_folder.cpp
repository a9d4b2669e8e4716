// The installation directory is recorded once, on the first start for this
// user, in dir.vnd under the profile, and read back on every later start.
#include "app/data_folder.h"

#include "platform/characters.h"
#include "platform/files.h"
#include "platform/names.h"
#include "store/data_files.h"

namespace app {

namespace {

// The folders between the profile and the data folder, in creation order.
constexpr const char* DATA_FOLDER_STEPS[] = {"Local Settings", "Application Data", "Varnel", "MP3"};

// A recorded directory is used only when it is a whole absolute directory:
// empty, relative (the stand-in "\" of older players among them) or cut off,
// it would send the skins and the library to the current drive's root, to a
// network name or to a folder that is not there.
bool wholeDirectory(const std::string& directory, const platform::CodePage& codePage) {
    return platform::absolutePath(directory) && platform::endsWithCharacter(directory, '\\', codePage);
}

// The first line of the file, or empty when it cannot be opened (a folder by
// that name, a file another program holds).
bool readRecord(const std::string& filePath, std::string& line) {
    const int file = platform::openFile(filePath, platform::FileMode::ReadExisting);
    if (file == -1) return false;
    const std::string bytes = store::readRemainingBytes(file);
    platform::closeFile(file);
    std::size_t position = 0;
    line = store::nextLine(bytes, position);
    return true;
}

}  // namespace

// A Wine prefix or a trimmed profile lacks "Local Settings" and "Application
// Data"; without them neither data file could ever be written. Where a folder
// exists its creation just fails, which is ignored.
void createDataFolder() {
    const platform::CodePage codePage = platform::systemCodePage();
    std::string path = store::profileRoot();
    if (path.empty()) return;
    for (const char* step : DATA_FOLDER_STEPS) {
        path = platform::joinPath(path, step, codePage);
        platform::createFolder(path);
    }
}

std::string programFolder() {
    return platform::folderPart(platform::singleBytePath(platform::programPath()), platform::systemCodePage());
}

// The directory of this start is the working directory, with one separator
// at its end (a drive's root keeps its own). One that cannot be known (longer
// than the 260-character buffer, or one the code page cannot spell without a
// short form) is never recorded, so the next start records its own; this run
// takes the program's own folder instead. Without a usable profile there is
// no dir.vnd at all. A record that is not a whole directory counts as none
// and is replaced; one that cannot be read is left as it is.
std::string prepareInstallationDirectory(store::Replacement& replacement) {
    const platform::CodePage codePage = platform::systemCodePage();
    const std::string working = platform::singleBytePath(platform::currentDirectory());
    const std::string directory = working.empty() ? programFolder() : platform::joinPath(working, "", codePage);
    const std::string filePath = store::installationFilePath();
    if (filePath.empty()) return directory;
    if (platform::fileSize(filePath) != -1) {
        std::string recorded;
        if (!readRecord(filePath, recorded)) return directory;
        if (wholeDirectory(recorded, codePage)) return recorded;
    }
    createDataFolder();
    if (!working.empty()) store::replaceFileContents(filePath, directory + "\r\n", replacement);
    return directory;
}

}  // namespace app
