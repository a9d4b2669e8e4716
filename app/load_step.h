// The load step, the one place a track is opened.
#pragma once

#include "metadata/track_tag.h"
#include "playback/transport.h"
#include "playlist/playlist.h"

namespace app {

// Reads the tag of `currentPath`, relabels its row while the tag's file is
// still open, opens and starts the track, and empties the position bar.
void loadTrack(playback::Transport& transport, metadata::TrackTag& tag, playlist::Playlist& playlist);

}  // namespace app
