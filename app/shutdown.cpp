// The normal end: the device, the playlist file and the main window are closed.
#include "app/shutdown.h"

#include "app/player.h"
#include "platform/gui.h"
#include "playback/media_commands.h"

namespace app {

void shutDown(playlist::Playlist& playlist) {
    playback::closeTrack(playback::TRACK_ALIAS_NUMBER);
    playlist::keepListFile(playlist);
    platform::closeWindow(MAIN_WINDOW);
}

}  // namespace app
