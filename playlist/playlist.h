// The playlist: 201 path slots kept aligned with the rows of the playlist list.
#pragma once

#include <array>
#include <string>

namespace playlist {

constexpr int PLAYLIST_SLOTS = 201;
constexpr int PLAYLIST_LIST = 14;  // control number of the list in the playlist window

struct Playlist {
    std::array<std::string, PLAYLIST_SLOTS> slots;  // empty = free
};

std::string rowPath(const Playlist& playlist, int row);  // empty outside 0..200
int rowCount();
int selectedRow();

// A path's file name without its last extension.
std::string entryName(const std::string& path);

void appendPath(Playlist& playlist, const std::string& path);

// Empties every slot.
void clearSlots(Playlist& playlist);
// Puts a path into one slot; a slot outside 0..200 is ignored.
void setSlotPath(Playlist& playlist, int slot, const std::string& path);

// Replaces the text of the row just loaded: "artist - title" when the tag
// counted as present, else the entry name of `currentPath`. A row chosen by
// number (`chosenByNumber`: moved by Previous or Next) is relabelled in place
// at `currentIndex`; otherwise the selected row is (or a new row is appended).
void relabelLoadedRow(bool tagPresent, const std::string& artist, const std::string& title,
                      const std::string& currentPath, int currentIndex, bool chosenByNumber);

// The playlist file under the data folder: one path per row, CR LF after each.
void loadListFile(Playlist& playlist);
void saveListFile(const Playlist& playlist);

}  // namespace playlist
