// The normal end: the device, the playlist file and the main window are closed.
#include "app/shutdown.h"

#include "numbers/numbers.h"
#include "platform/gui.h"
#include "playback/media_commands.h"

namespace app {

void shutDown(playlist::Playlist& playlist) {
    playback::closeTrack(playback::TRACK_ALIAS_NUMBER);
    playlist::keepListFile(playlist);
    platform::closeWindow(numbers::MAIN_WINDOW);
}

}  // namespace app
