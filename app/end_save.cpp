// Keeping the playlist when the player is ended from outside its loop.
#include "app/end_save.h"

#include "app/player.h"
#include "platform/system.h"
#include "playback/media_commands.h"

namespace app {

// Every window of the player is told; the first call does the work. The
// system ends the process right after, so the playlist goes first, and the
// fault filter goes with the save, as on every other way out.
void endSession(Player& player) {
    if (player.app.sessionEnded == 1) return;
    player.app.sessionEnded = 1;
    playlist::keepListFile(player.playlist);
    playback::closeTrack(playback::TRACK_ALIAS_NUMBER);
    platform::removeFaultFilter();
}

}  // namespace app
