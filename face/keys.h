// What the pass's key scan sets off: the left button may start a drag of the
// face, Delete removes the selected row.
#pragma once

#include "docking/drag.h"
#include "input/key_scan.h"
#include "platform/gui.h"
#include "playlist/playlist.h"

namespace face {

// Scans the keys, then starts a drag when the left button grabbed the face's
// top band, and removes the selected row when Delete is armed; both only in a
// pass whose previous poll brought an event.
void actOnKeys(input::KeyScan& keys, docking::Drag& drag, playlist::Playlist& playlist, const platform::Event& event);

}  // namespace face
