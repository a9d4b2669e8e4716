// The player's process entry, called by the platform's program entry.
#pragma once

namespace app {

struct Player;

// Runs start-up, the main loop and the shutdown; returns the exit code.
int brumbyMain();
// The same over a player's state made by the caller.
int runPlayer(Player& player);

}  // namespace app
