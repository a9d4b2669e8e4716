// The player's process entry, called by the platform's program entry.
#pragma once

namespace app {

// Runs start-up, the main loop and the shutdown; returns the exit code.
int brumbyMain();

}  // namespace app
