// The face's position and volume bars and its time text: dragging on a bar
// seeks or sets the volume, the end of a track rewinds the bar, and every
// pass shows what the device says.
#pragma once

#include "face/info_strip.h"
#include "platform/gui.h"
#include "playback/transport.h"
#include "playlist/playlist.h"

namespace face {

// A drag on the position bar seeks (only in passes whose previous poll brought
// an event, so a button held still over a bar sends nothing).
void dragOnPositionBar(playback::Transport& transport, const platform::Event& event);
// At the end of the track: the bar rewinds, the playlist moves on to the next
// row. True when the pass goes on into the load step.
bool moveOnAtTrackEnd(playback::Transport& transport, const playlist::Playlist& playlist);
void dragOnVolumeBar(const playback::Transport& transport, const platform::Event& event);
// While a track is open: the time text (in the strip's time phase), the volume
// bar, and the position bar or, once stopped, its rewind.
void showPlayback(playback::Transport& transport, const InfoStrip& strip);
// A newly loaded track starts on an empty position bar.
void emptyPositionBar();

}  // namespace face
