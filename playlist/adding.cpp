// The open-file dialog and dropped files append rows at the end of the playlist.
#include "playlist/adding.h"

#include "numbers/numbers.h"
#include "platform/characters.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/shell.h"

namespace playlist {

namespace {

constexpr const char* AUDIO_EXTENSIONS[] = {"mp3", "wav", "mid", "ogg"};

// Lower case in the player's code page: A-Z and the codes 192-222.
char lowerCase(char c) {
    const unsigned char code = static_cast<unsigned char>(c);
    if ((code >= 'A' && code <= 'Z') || (code >= 192 && code <= 222)) return static_cast<char>(code + 32);
    return c;
}

}  // namespace

// A folder that is a drive's root already ends in its separator.
std::vector<std::string> chosenPaths(const std::vector<std::string>& answer) {
    if (answer.size() < 2) return answer;
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < answer.size(); ++i) {
        paths.push_back(platform::joinPath(answer.front(), answer[i], platform::utf8Text()));
    }
    return paths;
}

bool hasAudioExtension(const std::string& utf8Path) {
    const platform::CodePage utf8 = platform::utf8Text();
    const std::string name = platform::fileNamePart(utf8Path, utf8);
    const std::size_t dot = platform::findLastCharacter(name, '.', utf8);
    if (dot == std::string::npos) return false;
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) c = lowerCase(c);
    for (const char* accepted : AUDIO_EXTENSIONS) {
        if (extension == accepted) return true;
    }
    return false;
}

// A path holding a line feed would be saved as one line and read back as two
// rows; one too long for the system to open by it would never play.
std::string playablePath(const std::string& path) {
    if (path.empty() || platform::holdsControlCharacter(path)) return "";
    const platform::CodePage codePage = platform::systemCodePage();
    if (platform::pathLength(path, codePage) < PATH_CHARACTERS_LIMIT) return path;
    const std::string shortForm = platform::shortPath(path);
    return !shortForm.empty() && platform::pathLength(shortForm, codePage) < PATH_CHARACTERS_LIMIT ? shortForm : "";
}

std::string keptPath(const std::string& utf8Path) { return playablePath(platform::singleBytePath(utf8Path)); }

// A cancelled or failed dialog changes nothing and the track plays on. A file
// whose name the player cannot keep (see keptPath) is passed over.
bool addFilesByDialog(Playlist& playlist, std::string& currentPath) {
    const std::vector<std::string> answer =
        platform::openFileDialog(numbers::MAIN_WINDOW, DIALOG_FILTER, DIALOG_CAPACITY);
    if (answer.empty()) return false;
    for (const std::string& chosen : chosenPaths(answer)) appendPath(playlist, keptPath(chosen));
    currentPath = rowPath(playlist, selectedRow(playlist));
    return true;
}

// The drop is taken (and its handle released) whatever it holds; a folder is
// skipped even when its name looks like an audio file, and so is a file whose
// name the player cannot keep (see keptPath).
void addDroppedFiles(Playlist& playlist, const platform::Event& event) {
    if (event.lastEvent != platform::EVENT_DROP_FILES) return;
    const platform::DroppedFiles dropped = platform::takeDroppedFiles(event.dropHandle);
    if (!dropped.inside) return;
    for (const std::string& given : dropped.paths) {
        if (given.empty() || !hasAudioExtension(given)) continue;
        const std::string path = keptPath(given);
        if (!path.empty() && !platform::isFolder(path)) appendPath(playlist, path);
    }
}

}  // namespace playlist
