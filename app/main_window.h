// The main window, its face picture, and the stages of its own buttons.
#pragma once

#include "app/player.h"

namespace app {

void decodePlaylistFrames();
void openMainWindow(const AppState& app);
// Before the first pass: the drawing surface, the empty strip, the flags.
void prepareDrawing(LoopState& loop);

// Loop stages of the main window's own buttons.
// True when the click set the quit flag; the loop then shuts the player down.
bool handleCloseButton(AppState& app, skin::Skin& face, const platform::Event& event);
void handleMinimiseButton(LoopState& loop, skin::Skin& face);
// Flips the playlist visible flag; on an empty playlist with no track open it
// also opens the file dialog. True when the stage continues into the load step.
bool handlePlaylistButton(LoopState& loop, skin::Skin& face, playlist::Playlist& playlist,
                          playback::Transport& transport);

}  // namespace app
