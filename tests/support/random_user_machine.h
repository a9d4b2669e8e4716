// The simulated machine the random user works on: its music (tracks of every
// type the player takes, tagged or not, under names of every sort; other
// files, folders, a missing file), the installation with its skin pictures
// and about library, and what a playlist row may show for a path.
#pragma once

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace support {

extern const std::string MUSIC_FOLDER;

enum class MusicKind { Audio, Other, Folder, Missing, Unkept };

struct MusicFile {
    const char* name;  // as the system gives it, in UTF-8
    MusicKind kind;
    const char* shortForm = nullptr;  // the short name of one the code page cannot spell
    const char* artist = nullptr;     // its tag's; none without
    const char* title = nullptr;
    int lengthMs = 0;
};

extern const std::array<MusicFile, 17> MUSIC_FILES;

class RandomUserMachine {
public:
    // Puts the music, the skin pictures and the library below the simulated
    // world's root.
    void build();
    // What every session's new world is told again: the short forms and the tracks' lengths.
    void describe() const;
    // The text a row shows for a path before its track is loaded: its entry
    // name (a short form's long one).
    std::string entryNameShown(const std::string& path) const;
    // Whether a row may show `row` for `path`: its entry name, or once loaded
    // its tag's artist and title.
    bool shows(const std::string& row, const std::string& path);

private:
    std::map<std::string, std::string> longNames_;  // short form (upper case) -> the long path
    std::map<std::string, std::string> labels_;     // kept path (upper case) -> its tag's "artist - title"
    std::map<std::string, std::pair<std::string, std::string>> rowTexts_;  // path -> what its row may show
};

// The whole file a Windows path names in the simulated world ("" when there is none).
std::string readHostFile(const std::string& windowsPath);
// A list file's lines; false when its bytes are not whole lines each ending in CR LF.
bool splitListLines(const std::string& bytes, std::vector<std::string>& lines);
std::string upperAscii(std::string text);

}  // namespace support
