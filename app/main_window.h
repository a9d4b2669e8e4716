// The main window, its face picture, and the stages of its own buttons.
#pragma once

#include "app/player.h"

namespace app {

void decodePlaylistFrames();
void openMainWindow(Player& player);
// Before the first pass: the drawing surface, the empty strip, the flags.
void prepareDrawing(Player& player);

// Loop stages of the main window's own buttons.
void applyPlaylistVisibility(const Player& player);
void closeButton(Player& player);
void minimiseButton(Player& player);
// True when the stage continues into the load step (after the file dialog).
bool playlistButton(Player& player);

}  // namespace app
