// The random user's machine: its files below the simulated world's root, and
// the texts the player's rows may show for them.
#include "support/random_user_machine.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/names.h"
#include "platform/sim/sim.h"
#include "playlist/playlist.h"

namespace support {

namespace {

namespace fs = std::filesystem;

const std::string INSTALLATION = "C:\\Tunewell";

// The bytes of a track: a tag at the end when it has an artist.
std::string trackBytes(const MusicFile& file) {
    std::string bytes(300, '\x90');
    if (file.artist) {
        std::string tail(125, '\0');
        tail.replace(0, std::string(file.title).size(), file.title);
        tail.replace(30, std::string(file.artist).size(), file.artist);
        bytes.replace(bytes.size() - 125, 125, tail);
    }
    return bytes;
}

void writeHostFile(const std::string& windowsPath, const std::string& bytes) {
    const fs::path host = sim::hostPath(windowsPath);
    fs::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

const std::string MUSIC_FOLDER = "C:\\Music";

// Audio of every type the player takes, tagged and not, names with blanks,
// two dots, upper case, Western letters and letters of other scripts (one kept
// by its short form, one without any); other types, folders, a missing file.
const std::array<MusicFile, 17> MUSIC_FILES = {{
    {"a.mp3", MusicKind::Audio, nullptr, "Band A", "Alpha", 900},
    {"b.wav", MusicKind::Audio, nullptr, nullptr, nullptr, 1500},
    {"c.ogg", MusicKind::Audio, nullptr, "Band C", "Gamma", 600},
    {"d.mid", MusicKind::Audio, nullptr, nullptr, nullptr, 2400},
    {"E.MP3", MusicKind::Audio, nullptr, "Band E", "Echo", 1200},
    {"f.Wav", MusicKind::Audio, nullptr, nullptr, nullptr, 300},
    {"g h.ogg", MusicKind::Audio, nullptr, nullptr, nullptr, 2000},
    {"two.dots.mid", MusicKind::Audio, nullptr, "Band T", "Two", 700},
    {"Bj\xC3\xB6rk - J\xC3\xB3ga.mp3", MusicKind::Audio, nullptr, nullptr, nullptr, 1000},
    {"\xD0\x9C\xD1\x83\xD0\xBC\xD0\xB8\xD0\xB9 - \xE5\x9D\x82\xE6\x9C\xAC.mp3", MusicKind::Audio, "____~PZ2.MP3",
     "Band M", "Mu", 800},
    {"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1.wav", MusicKind::Unkept},
    {"notes.txt", MusicKind::Other},
    {"cover.JPG", MusicKind::Other},
    {"README", MusicKind::Other},
    {"Album", MusicKind::Folder},
    {"Live.mp3", MusicKind::Folder},
    {"gone.mp3", MusicKind::Missing},
}};

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string readHostFile(const std::string& windowsPath) {
    std::ifstream in(sim::hostPath(windowsPath), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool splitListLines(const std::string& bytes, std::vector<std::string>& lines) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) return false;
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return true;
}

// A file the code page cannot spell lives under its short form, as the
// system keeps it; the others under the code page's bytes.
void RandomUserMachine::build() {
    for (const MusicFile& file : MUSIC_FILES) {
        const std::string path = MUSIC_FOLDER + "\\" + file.name;
        if (file.kind == MusicKind::Folder) fs::create_directories(sim::hostPath(path));
        if (file.kind == MusicKind::Other) writeHostFile(path, "not audio");
        if (file.kind != MusicKind::Audio) continue;
        const std::string kept = file.shortForm ? MUSIC_FOLDER + "\\" + file.shortForm : platform::singleBytePath(path);
        if (file.shortForm) longNames_[upperAscii(kept)] = path;
        writeHostFile(kept, trackBytes(file));
        if (file.artist) labels_[upperAscii(kept)] = std::string(file.artist) + " - " + file.title;
    }
    for (const char* picture : {"back.vnb", "backmouse.vnb"}) {
        std::ifstream source(std::string(TUNEWELL_SOURCE_DIR) + "/assets/" + picture, std::ios::binary);
        writeHostFile(INSTALLATION + "\\" + picture,
                      {std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()});
    }
    writeHostFile(INSTALLATION + "\\ravlet.dll", "MZ");
}

void RandomUserMachine::describe() const {
    for (const MusicFile& file : MUSIC_FILES) {
        if (file.kind != MusicKind::Audio) continue;
        const std::string path = MUSIC_FOLDER + "\\" + file.name;
        if (file.shortForm) sim::nameFile(path, MUSIC_FOLDER + "\\" + file.shortForm);
        sim::setTrackLength(platform::singleBytePath(path), file.lengthMs);
    }
}

std::string RandomUserMachine::entryNameShown(const std::string& path) const {
    const auto longName = longNames_.find(upperAscii(path));
    return longName != longNames_.end() ? playlist::entryName(longName->second)
                                        : sim::utf8FromCodePage(playlist::entryName(path));
}

// Worked out once a path: every pass asks for every row.
bool RandomUserMachine::shows(const std::string& row, const std::string& path) {
    auto known = rowTexts_.find(path);
    if (known == rowTexts_.end()) {
        const auto label = labels_.find(upperAscii(path));
        const std::string tagged = label != labels_.end() ? label->second : "";
        known = rowTexts_.emplace(path, std::make_pair(entryNameShown(path), tagged)).first;
    }
    return row == known->second.first || (!known->second.second.empty() && row == known->second.second);
}

}  // namespace support
