// The ends the player does not choose (a fatal fault, the end of the
// session, a newer player ending this one) keep the playlist the close button
// would have written.
#pragma once

#include <cstdint>

namespace app {

struct Player;

// Start-up: the end of the session, a newer player's request to save and a
// media device given up keep the playlist from then on.
void keepPlaylistAtOtherEnds(Player& player);

// The system ends the session: the playlist is kept, then the track closed, once.
void endSession(Player& player);
// A newer player, about to end this one, asks it to save: the playlist is
// saved whole, once per asking player, and the player runs on as before.
void saveOnRequest(Player& player, std::uint32_t requester);
// The media device stopped answering and was given up: what it left behind
// may take the process down later (Wine's device does), so the playlist is
// saved whole at once, unless an end of the player has already kept it.
void saveOnDeviceLeft(Player& player);

}  // namespace app
