// Playlist slots and rows, row relabelling, and the playlist file.
#include "playlist/playlist.h"

#include <cstddef>

#include "platform/gui.h"
#include "platform/system.h"
#include "store/data_files.h"

namespace playlist {

std::string rowPath(const Playlist& playlist, int row) {
    if (row < 0 || row >= PLAYLIST_SLOTS) return {};
    return playlist.slots[static_cast<std::size_t>(row)];
}

int rowCount() { return platform::listCount(PLAYLIST_LIST); }

int selectedRow() { return platform::listSelected(PLAYLIST_LIST); }

std::string entryName(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot + 1 < name.size()) name.erase(dot);
    return name;
}

void appendPath(Playlist& playlist, const std::string& path) {
    for (std::string& slot : playlist.slots) {
        if (slot.empty()) {
            platform::listInsert(PLAYLIST_LIST, -1, entryName(path));
            slot = path;
            return;
        }
    }
}

void clearSlots(Playlist& playlist) { playlist.slots.fill(std::string()); }

void setSlotPath(Playlist& playlist, int slot, const std::string& path) {
    if (slot < 0 || slot >= PLAYLIST_SLOTS) return;
    playlist.slots[static_cast<std::size_t>(slot)] = path;
}

void relabelLoadedRow(bool tagPresent, const std::string& artist, const std::string& title,
                      const std::string& currentPath, int currentIndex, bool chosenByNumber) {
    const std::string text = tagPresent ? artist + " - " + title : entryName(currentPath);
    if (chosenByNumber) {
        platform::listDelete(PLAYLIST_LIST, currentIndex);
        platform::listInsert(PLAYLIST_LIST, currentIndex, text);
    } else {
        // Inserting at the selected row pushes the old row (and the selection)
        // down by one; deleting the selected row then removes the old text.
        const int selected = selectedRow();
        platform::listInsert(PLAYLIST_LIST, selected, text);
        const int moved = selectedRow();
        if (moved != -1) platform::listDelete(PLAYLIST_LIST, moved);
    }
}

void loadListFile(Playlist& playlist) {
    const std::string path = store::listFilePath();
    int file = platform::openFile(path, platform::FileMode::ReadExisting);
    std::string bytes;
    if (file == -1) {
        file = platform::openFile(path, platform::FileMode::WriteTruncate);
    } else {
        bytes = store::readRemainingBytes(file);
    }
    std::size_t position = 0;
    for (int slot = 0; slot < PLAYLIST_SLOTS; ++slot) {
        const std::string line = store::nextLine(bytes, position);
        playlist.slots[static_cast<std::size_t>(slot)] = line;
        if (!line.empty()) platform::listInsert(PLAYLIST_LIST, slot, entryName(line));
    }
    if (file != -1) platform::closeFile(file);
}

void saveListFile(const Playlist& playlist) {
    const int file = platform::openFile(store::listFilePath(), platform::FileMode::WriteTruncate);
    if (file == -1) return;
    const int rows = rowCount();
    std::string bytes;
    for (int row = 0; row < rows && row < PLAYLIST_SLOTS; ++row) {
        bytes += playlist.slots[static_cast<std::size_t>(row)];
        bytes += "\r\n";
    }
    platform::writeFile(file, bytes.data(), static_cast<int>(bytes.size()));
    platform::closeFile(file);
}

}  // namespace playlist
