// The key scan of every pass: all virtual-key codes in order, the drag start
// on the left button and Delete removing the selected playlist entry.
#pragma once

#include <array>

#include "platform/gui.h"
#include "playlist/playlist.h"
#include "skin/drag.h"

namespace skin {

constexpr int FIRST_KEY_CODE = 1;
constexpr int LAST_KEY_CODE = 255;
constexpr int VK_DELETE_KEY = 46;

struct KeyScan {
    int deleteLatch = 0;  // 1 once Delete removed an entry, until another code is seen pressed
    // What this pass's scan read for each code: the pressed state of the pass.
    std::array<bool, LAST_KEY_CODE + 1> pressed{};
};

// Loop stage 3.
void scanKeys(KeyScan& keys, Drag& drag, playlist::Playlist& playlist, const platform::Event& event);

}  // namespace skin
