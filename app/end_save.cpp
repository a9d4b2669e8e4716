// Keeping the playlist when the player is ended from outside its loop.
#include "app/end_save.h"

#include "app/player.h"
#include "platform/system.h"
#include "playback/media_commands.h"

namespace app {

// The save itself leaves the file alone when there is no list or the file was
// found unreadable at start.
void saveListAtEnd(playlist::Playlist& playlist) {
    if (playlist.listFileSaved || !playlist::playlistConsistent(playlist)) return;
    playlist::saveListFile(playlist);
}

void closeTrackAtEnd() { playback::closeTrack(playback::TRACK_ALIAS_NUMBER); }

// Every window of the player is told; the first call does the work. The
// system ends the process right after, so the fault filter goes with the save,
// as on every other way out.
void endSession(Player& player) {
    if (player.app.sessionEnded == 1) return;
    player.app.sessionEnded = 1;
    closeTrackAtEnd();
    saveListAtEnd(player.playlist);
    platform::removeFaultFilter();
}

}  // namespace app
