// The main loop: one pass runs the stages in their fixed order.
#pragma once

#include "app/player.h"

namespace app {

// One pass. The first pass enters at the load step instead of the top.
void runPass(Player& player, bool enterAtLoad);
// One pass, ended early by a fault passed over inside it; false when it was.
bool runGuardedPass(Player& player, bool enterAtLoad);
// Passes until the close button sets the quit flag.
void runLoop(Player& player);

}  // namespace app
