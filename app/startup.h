// Start-up: everything before the first pass.
#pragma once

#include "app/player.h"

namespace app {

// Everything before the first pass: older instance, data folder, library,
// fonts, pictures, command line, main window, skin, playlist, drawing surface.
void startUp(Player& player);

}  // namespace app
