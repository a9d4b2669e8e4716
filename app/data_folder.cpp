// The installation directory of this start: the one recorded in dir.vnd on
// the user's first start, or this start's own, recorded when none is.
#include "app/data_folder.h"

#include "platform/characters.h"
#include "platform/files.h"
#include "platform/names.h"
#include "store/data_files.h"
#include "store/installation_file.h"

namespace app {

namespace {

// A recorded directory is used only when it is a whole absolute directory:
// empty, relative (the stand-in "\" of older players among them) or cut off,
// it would send the skins and the library to the current drive's root, to a
// network name or to a folder that is not there.
bool wholeDirectory(const std::string& directory, const platform::CodePage& codePage) {
    return platform::absolutePath(directory) && platform::endsWithCharacter(directory, '\\', codePage);
}

}  // namespace

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
        if (!store::readInstallationRecord(filePath, recorded)) return directory;
        if (wholeDirectory(recorded, codePage)) return recorded;
    }
    store::createDataFolder();
    if (!working.empty()) store::writeInstallationRecord(filePath, directory, replacement);
    return directory;
}

}  // namespace app
