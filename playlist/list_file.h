// The list file list.vnp: read once at start-up, replaced whole at the ends.
#pragma once

#include "playlist/playlist.h"

namespace playlist {

// The playlist file under the data folder: one path per row, CR LF after each.
// A file that is there but is not read whole (refused, a read failing, a row
// the list refuses, a fault passed over while reading) counts as unreadable.
void loadListFile(Playlist& playlist);
// Replaces the list file with the rows, when every slot has its row; false
// when it was left as it was.
bool saveListFile(Playlist& playlist);
// The save every end of the player makes: once per run.
bool keepListFile(Playlist& playlist);
// Names the list file this run keeps, for a start with files, which reads none.
void nameListFile(Playlist& playlist);
// Clears away what a save broken off by a fault left: its open temporary file.
void abandonListFileSave(Playlist& playlist);

}  // namespace playlist
