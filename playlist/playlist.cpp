// Playlist slots and rows: adding, removing, clearing and relabelling rows.
#include "playlist/playlist.h"

#include <cstddef>

#include "numbers/numbers.h"
#include "platform/characters.h"
#include "platform/gui.h"
#include "platform/names.h"

namespace playlist {

using numbers::PLAYLIST_LIST;

namespace {

std::string& slot(Playlist& playlist, int index) { return playlist.slots[static_cast<std::size_t>(index)]; }

}  // namespace

// A file's row shows its entry name; a short form standing for a name the code
// page cannot spell shows the entry name of that long name, as the user sees it.
int insertFileRow(int index, const std::string& path) {
    const std::string longName = platform::longNameUtf8(path);
    if (longName.empty()) return platform::listInsert(PLAYLIST_LIST, index, entryName(path));
    return platform::listInsertUtf8(PLAYLIST_LIST, index, entryName(longName, platform::utf8Text()));
}

std::string rowPath(const Playlist& playlist, int row) {
    if (row < 0 || row >= PLAYLIST_SLOTS) return {};
    return playlist.slots[static_cast<std::size_t>(row)];
}

// The list is asked each time: its rows are what the user sees.
int rowCount(const Playlist&) { return platform::listCount(PLAYLIST_LIST); }

int selectedRow(const Playlist&) { return platform::listSelected(PLAYLIST_LIST); }

int filledSlots(const Playlist& playlist) {
    int filled = 0;
    while (filled < PLAYLIST_SLOTS && !playlist.slots[static_cast<std::size_t>(filled)].empty()) ++filled;
    return filled;
}

// The slots change only together with the rows, on the loop's thread; once
// that thread is stopped (the fatal path) they stand in for the list.
int rowCountOrFilledSlots(const Playlist& playlist) {
    const int rows = rowCount(playlist);
    return rows >= 0 ? rows : filledSlots(playlist);
}

bool playlistConsistent(const Playlist& playlist) {
    const int rows = rowCountOrFilledSlots(playlist);
    if (rows > PLAYLIST_SLOTS) return false;
    for (int i = 0; i < PLAYLIST_SLOTS; ++i) {
        if (playlist.slots[static_cast<std::size_t>(i)].empty() != (i >= rows)) return false;
    }
    return true;
}

std::string entryName(const std::string& path) { return entryName(path, platform::systemCodePage()); }

std::string entryName(const std::string& path, const platform::CodePage& codePage) {
    std::string name = platform::fileNamePart(path, codePage);
    const std::size_t dot = platform::findLastCharacter(name, '.', codePage);
    if (dot != std::string::npos && dot + 1 < name.size()) name.erase(dot);
    return name;
}

// The new row's number is the first empty slot's, which the list's answer
// confirms; the slot is filled only once its row exists, so a refused row
// leaves slots and rows aligned.
bool appendPath(Playlist& playlist, const std::string& path) {
    int rows = 0;
    while (rows < PLAYLIST_SLOTS && !slot(playlist, rows).empty()) ++rows;
    if (path.empty() || rows >= PLAYLIST_SLOTS) return false;
    const int row = insertFileRow(-1, path);
    if (row != rows) {
        // Rows and slots had drifted apart: the row goes again, or waits for the mend.
        if (row >= 0 && !platform::listDelete(PLAYLIST_LIST, row)) playlist.rowsInDoubt = true;
        return false;
    }
    slot(playlist, rows) = path;
    return true;
}

void removeSelectedEntry(Playlist& playlist) {
    const int selected = selectedRow(playlist);
    if (selected < 0 || selected >= PLAYLIST_SLOTS) return;
    if (!platform::listDelete(PLAYLIST_LIST, selected)) return;
    for (int j = selected; j < PLAYLIST_SLOTS - 1; ++j) slot(playlist, j) = std::move(slot(playlist, j + 1));
    slot(playlist, PLAYLIST_SLOTS - 1).clear();
}

// The playlist is empty at once; a row the list keeps (it refused to delete
// it) goes at the next mend.
void clearPlaylist(Playlist& playlist) {
    for (std::string& path : playlist.slots) path.clear();
    int deleted = 0;
    while (deleted < PLAYLIST_SLOTS && platform::listDelete(PLAYLIST_LIST, 0)) ++deleted;
    if (rowCount(playlist) != 0) playlist.rowsInDoubt = true;
}

// The slots are the playlist: packed, they make the rows again, each showing
// its entry name. A list that refuses a step leaves the doubt for the next try.
void mendRows(Playlist& playlist) {
    if (!playlist.rowsInDoubt) return;
    if (!playlist.listMade || playlistConsistent(playlist)) {
        playlist.rowsInDoubt = false;
        return;
    }
    int filled = 0;
    for (int i = 0; i < PLAYLIST_SLOTS; ++i) {
        if (slot(playlist, i).empty()) continue;
        if (i != filled) slot(playlist, filled) = std::move(slot(playlist, i));
        ++filled;
    }
    for (int i = filled; i < PLAYLIST_SLOTS; ++i) slot(playlist, i).clear();
    int rows = rowCount(playlist);
    while (rows > 0 && platform::listDelete(PLAYLIST_LIST, rows - 1)) --rows;
    if (rows != 0) return;
    for (int i = 0; i < filled; ++i)
        if (insertFileRow(i, slot(playlist, i)) != i) return;
    playlist.rowsInDoubt = false;
}

// Without a selection the loaded row is not known: no row is added, which
// would stand for no slot. The new text goes in before the old one comes out,
// so a row the list refuses leaves the old one standing, aligned with its
// slot; an old row the list keeps takes the new text out again.
void relabelLoadedRow(Playlist& playlist, bool tagPresent, const std::string& artist, const std::string& title,
                      const std::string& currentPath, int currentIndex, bool chosenByNumber) {
    auto insertLabel = [&](int index) {
        return tagPresent ? platform::listInsert(PLAYLIST_LIST, index, artist + " - " + title)
                          : insertFileRow(index, currentPath);
    };
    // Inserting at a row pushes the old one (and a selection on it) down by one.
    auto replaceRow = [&](int index) {
        if (insertLabel(index) != index) return;
        if (!platform::listDelete(PLAYLIST_LIST, index + 1) && !platform::listDelete(PLAYLIST_LIST, index))
            playlist.rowsInDoubt = true;
    };
    // A row chosen by number is the loaded one only while its slot holds the
    // loaded path (a start whose first file got no row has another there).
    if (chosenByNumber) {
        if (currentIndex >= 0 && currentIndex < rowCountOrFilledSlots(playlist) &&
            rowPath(playlist, currentIndex) == currentPath)
            replaceRow(currentIndex);
        return;
    }
    const int selected = selectedRow(playlist);
    if (selected != -1) replaceRow(selected);
}

}  // namespace playlist
