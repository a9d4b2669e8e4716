// The normal end, after the close button set the quit flag.
#pragma once

#include "playlist/playlist.h"

namespace app {

// Keeps the playlist in its file, sends the close command and closes the windows.
void shutDown(playlist::Playlist& playlist);

}  // namespace app
