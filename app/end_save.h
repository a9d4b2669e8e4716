// The ends the player does not choose (a fatal fault, the end of the
// session) keep the playlist the close button would have written.
#pragma once

namespace app {

struct Player;

// The system ends the session: the playlist is kept, then the track closed, once.
void endSession(Player& player);

}  // namespace app
