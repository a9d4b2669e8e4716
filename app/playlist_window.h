// The playlist window below the face: its frame, its list, its visibility and
// the add, remove and clear buttons of its bottom frame.
#pragma once

#include <string>
#include <vector>

#include "app/player.h"

namespace app {

// Builds window 1, hidden, touching the bottom edge of the face, with its
// frame pictures and the list; false when the window could not be made.
bool openPlaylistWindow(playlist::Playlist& playlist);
// One row per command-line file, in order; the first load relabels row 0 in place.
void enterCommandLineFiles(playlist::Playlist& playlist, playback::Transport& transport,
                           const std::vector<std::string>& paths);

// Loop stage 1: shows or hides the playlist window as the flag says.
void applyPlaylistVisibility(const LoopState& loop);
// Loop stage 19: a click on the bottom frame's add, remove or clear button.
// True when the add button's dialog was accepted and the pass goes on into the load step.
bool pressPlaylistBarButton(playlist::Playlist& playlist, playback::Transport& transport,
                            const platform::Event& event);

}  // namespace app
