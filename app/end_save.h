// The ends the player does not choose (a fatal fault, the end of the
// session, a newer player ending this one) keep the playlist the close button
// would have written.
#pragma once

#include <cstdint>

namespace app {

struct Player;

// Start-up: the end of the session and a newer player's request to save
// keep the playlist from then on.
void keepPlaylistAtOtherEnds(Player& player);

// The system ends the session: the playlist is kept, then the track closed, once.
void endSession(Player& player);
// A newer player, about to end this one, asks it to save: the playlist is
// saved whole, once per asking player, and the player runs on as before.
void saveOnRequest(Player& player, std::uint32_t requester);

}  // namespace app
