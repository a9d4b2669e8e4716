// The list file list.vnp: read once at start-up, replaced whole at the close.
#include "playlist/list_file.h"

#include <string>

#include "numbers/numbers.h"
#include "platform/files.h"
#include "platform/gui.h"
#include "playlist/adding.h"
#include "playlist/playlist.h"
#include "store/data_files.h"
#include "store/replace_file.h"

namespace playlist {

using numbers::PLAYLIST_LIST;

// A missing file is created empty. One that is there but cannot be opened
// (locked, access denied), or whose reading fails partway, is noted and left
// alone: the player never saw all it holds, so it must not overwrite it. The
// file counts as unread until it was read to its end (or to the 201st row),
// so that a fault passed over in the middle of reading keeps it too.
// Blank lines, and lines that can never play (see playablePath), make no row
// and the lines after them close up. Without a usable profile there is no
// list file: none is read, and none is written this run.
void loadListFile(Playlist& playlist) {
    playlist.listFileUnreadable = true;
    nameListFile(playlist);
    const std::string& path = playlist.listFile;
    if (path.empty()) return;
    platform::OpenFailure failure = platform::OpenFailure::None;
    store::LineReader reader;
    reader.file = platform::openFile(path, platform::FileMode::ReadExisting, failure);
    if (reader.file == -1) {
        if (failure != platform::OpenFailure::Missing) return;
        playlist.listFileUnreadable = false;
        const int created = platform::openFile(path, platform::FileMode::WriteTruncate);
        if (created != -1) platform::closeFile(created);
        return;
    }
    std::string line;
    int rows = filledSlots(playlist);
    bool refused = false;
    while (rows < PLAYLIST_SLOTS && store::readLine(reader, line)) {
        line = playablePath(line);
        if (line.empty()) continue;
        if (insertFileRow(rows, line) != rows) {
            refused = true;
            break;
        }
        playlist.slots[static_cast<std::size_t>(rows++)] = line;
    }
    platform::closeFile(reader.file);
    playlist.listFileUnreadable = reader.failed || refused;
}

// Only a whole playlist (each slot with its row) is saved: one a fault broke
// off in the middle of a change never replaces the file.
bool saveListFile(Playlist& playlist) {
    if (!playlist.listMade || playlist.listFileUnreadable || !playlistConsistent(playlist)) return false;
    std::string bytes;
    const int rows = rowCountOrFilledSlots(playlist);
    for (int row = 0; row < rows && row < PLAYLIST_SLOTS; ++row) {
        bytes += playlist.slots[static_cast<std::size_t>(row)];
        bytes += "\r\n";
    }
    // The file named at start is the one replaced, even should the profile's
    // path read differently by now: another would be a list the player never
    // saw, or one the next start never reads.
    const std::string path = playlist.listFile.empty() ? store::listFilePath() : playlist.listFile;
    if (path.empty()) return false;  // no usable profile: no list file
    return store::replaceFileContents(path, bytes, playlist.listFileSave);
}

void nameListFile(Playlist& playlist) { playlist.listFile = store::listFilePath(); }

void abandonListFileSave(Playlist& playlist) { store::clearAway(playlist.listFileSave); }

bool keepListFile(Playlist& playlist) {
    if (playlist.listFileSaved) return false;
    playlist.listFileSaved = saveListFile(playlist);
    return playlist.listFileSaved;
}

}  // namespace playlist
