// The face's eight buttons: close, minimise, the five transport buttons with
// their media keys, and the playlist button. Each arms by hover (or its
// media key), shows its hover picture while armed, and acts on a click.
#pragma once

#include "face/loop_state.h"
#include "input/key_scan.h"
#include "platform/gui.h"
#include "playback/transport.h"
#include "playlist/playlist.h"
#include "skin/skin.h"

namespace face {

// True when the click set the quit flag; the loop then shuts the player down.
bool pressCloseButton(int& quitFlag, skin::Skin& face, const platform::Event& event);
void pressMinimiseButton(LoopState& loop, skin::Skin& face);
// Previous, the media-key latch's release, play, pause, stop, next, with the
// media keys as the pass's key scan read them. True when an action changed the
// track and the pass goes on into the load step.
bool pressTransportButtons(playback::Transport& transport, skin::Skin& face, const input::KeyScan& keys,
                           const playlist::Playlist& playlist, const platform::Event& event);
// Flips the playlist visible flag; on an empty playlist with no track open it
// also opens the file dialog. True when the pass goes on into the load step.
bool pressPlaylistButton(LoopState& loop, skin::Skin& face, playlist::Playlist& playlist,
                         playback::Transport& transport);

}  // namespace face
