// The normal end, after the close button set the quit flag.
#pragma once

#include "playlist/playlist.h"

namespace app {

// Sends the close command, keeps the playlist in its file and closes the windows.
void shutDown(playlist::Playlist& playlist);

}  // namespace app
