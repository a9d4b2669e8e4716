// The normal end: the playlist file, the device and the main window are closed.
#include "app/shutdown.h"

#include "numbers/numbers.h"
#include "platform/gui.h"
#include "playback/transport.h"
#include "playlist/list_file.h"

namespace app {

// The playlist goes first, as at the end of the session: a device whose close
// hangs must not take the session's rows with it, nor leave a newer player's
// request to save unanswered for as long as it hangs.
void shutDown(playlist::Playlist& playlist) {
    playlist::keepListFile(playlist);
    playback::closeDevice();
    platform::closeWindow(numbers::MAIN_WINDOW);
}

}  // namespace app
