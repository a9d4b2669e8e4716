// What the fuzz targets share: a property check that keeps the failing input,
// and a machine without a disk on which the playlist's list is made.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "numbers/numbers.h"
#include "platform/gui.h"
#include "platform/sim/sim.h"
#include "playlist/playlist.h"

namespace fuzz {

// A property that does not hold ends the run with its line; libFuzzer keeps the input.
inline void require(bool holds, int line = __builtin_LINE(), const char* file = __builtin_FILE()) {
    if (holds) return;
    std::fprintf(stderr, "property broken at %s:%d\n", file, line);
    std::abort();
}

// A fresh simulated machine whose files live in memory, with the playlist
// window's list made as start-up makes it.
inline playlist::Playlist freshPlaylist() {
    sim::reset("");
    platform::WindowLayout layout;
    layout.clientWidth = 184;
    layout.clientHeight = 205;
    platform::openWindow(numbers::PLAYLIST_WINDOW, layout);
    playlist::Playlist fresh;
    fresh.listMade = platform::addListControl(numbers::PLAYLIST_WINDOW, numbers::PLAYLIST_LIST, 12, 10, 160, 169, 0, 0);
    return fresh;
}

}  // namespace fuzz
