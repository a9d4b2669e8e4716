// The playlist window below the face: its frame, its list, its visibility and
// the add, remove and clear buttons of its bottom frame.
#pragma once

#include <string>
#include <vector>

#include "docking/window_options.h"
#include "face/loop_state.h"
#include "platform/gui.h"
#include "playback/transport.h"
#include "playlist/playlist.h"

namespace face {

// Decodes the four pictures that frame the playlist window.
void decodePlaylistFrames();
// Builds window 1, hidden, touching the bottom edge of the face, with its
// frame pictures and the list; false when the window could not be made.
bool openPlaylistWindow(playlist::Playlist& playlist, docking::Options& options);
// One row per command-line file, in order; the first load relabels row 0 in place.
void enterCommandLineFiles(playlist::Playlist& playlist, playback::Transport& transport,
                           const std::vector<std::string>& paths);

// Shows or hides the playlist window as the flag says.
void applyPlaylistVisibility(const LoopState& loop);
// A double click on a row, polled in the previous pass, plays it. True when
// the pass goes on into the load step.
bool playDoubleClickedRow(playback::Transport& transport, const playlist::Playlist& playlist,
                          const platform::Event& event);
// A click on the bottom frame's add, remove or clear button, polled in this
// pass. True when the add button's dialog was accepted and the pass goes on
// into the load step.
bool pressPlaylistBarButton(playlist::Playlist& playlist, playback::Transport& transport, const platform::Event& event);

}  // namespace face
