// The playlist: 201 path slots kept aligned with the rows of the playlist list.
// With N rows, slots 0..N-1 hold the rows' paths in order and the rest are empty.
#pragma once

#include <array>
#include <string>

#include "platform/names.h"
#include "store/replace_file.h"

namespace playlist {

constexpr int PLAYLIST_SLOTS = 201;

struct Playlist {
    std::array<std::string, PLAYLIST_SLOTS> slots;  // empty = free
    bool listMade = false;                          // the list exists; without it the list file is left alone
    bool listFileUnreadable = false;                // list.vnp was not read whole at start, or has no place
    bool listFileSaved = false;                     // an end of the player replaced list.vnp with this run's rows
    store::Replacement listFileSave;                // what a save broke off by a fault left behind
    std::string listFile;                           // the list.vnp this run keeps, named at start; empty until then
    bool rowsInDoubt = false;  // a change was broken off or refused partway: rows and slots may disagree
};

std::string rowPath(const Playlist& playlist, int row);  // empty outside 0..200
int rowCount(const Playlist& playlist);
int selectedRow(const Playlist& playlist);  // -1 when none is

// The filled slots before the first empty one.
int filledSlots(const Playlist& playlist);
// The row count, or, when the list cannot be asked (its thread is stopped),
// the filled slots.
int rowCountOrFilledSlots(const Playlist& playlist);
// True when slots 0..N-1 are filled and the rest empty, N being the row count.
bool playlistConsistent(const Playlist& playlist);

// A path's file name without its last extension, walked in the system code
// page, or in the one given (UTF-8 for a name as the system gives it).
std::string entryName(const std::string& path);
std::string entryName(const std::string& path, const platform::CodePage& codePage);
// Inserts a file's row at `index` (-1 appends); the list's answer, -1 when it refused the row.
int insertFileRow(int index, const std::string& path);

// Adds a row for `path` at the end; false when the playlist is full, the
// path is empty or the row could not be made. A file's row shows its entry
// name, as the user sees it (a short form shows its long name).
bool appendPath(Playlist& playlist, const std::string& path);
// Removes the selected row and its slot, closing the gap; nothing when none
// is selected or the list keeps the row.
void removeSelectedEntry(Playlist& playlist);
void clearPlaylist(Playlist& playlist);
// When rows and slots may have come apart: makes the rows again from the
// slots if they disagree. Run where no change is under way.
void mendRows(Playlist& playlist);

// Replaces the text of the row just loaded: "artist - title" when the tag
// counted as present, else the entry name of `currentPath`. A row chosen by
// number is relabelled in place at `currentIndex`; otherwise the selected row is.
void relabelLoadedRow(Playlist& playlist, bool tagPresent, const std::string& artist, const std::string& title,
                      const std::string& currentPath, int currentIndex, bool chosenByNumber);

}  // namespace playlist
