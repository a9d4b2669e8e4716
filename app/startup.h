// Start-up, the main loop's frame, and the normal end.
#pragma once

#include "app/player.h"

namespace app {

// Everything before the first pass: older instance, data folder, library,
// fonts, pictures, command line, main window, skin, playlist, drawing surface.
void startUp(Player& player);

// Sends the close command, writes the playlist file and closes the windows.
void shutDown(Player& player);

}  // namespace app
