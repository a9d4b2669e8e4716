// What the loop's stages read: the last poll's event and the playlist
// window's visible flag, which the face's buttons and windows change.
#pragma once

#include "platform/gui.h"

namespace face {

struct LoopState {
    platform::Event event;
    bool playlistVisible = false;
};

}  // namespace face
