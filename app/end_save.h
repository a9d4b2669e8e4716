// The ends the player does not choose (a fatal fault, the end of the
// session) keep the playlist the close button would have written.
#pragma once

#include "playlist/playlist.h"

namespace app {

struct Player;

// Replaces the list file as the close button does, unless it was written in
// this run already or the playlist is half-changed (a slot without its row).
void saveListAtEnd(playlist::Playlist& playlist);
void closeTrackAtEnd();
// The system ends the session: the track is closed and the playlist kept, once.
void endSession(Player& player);

}  // namespace app
