// The key scan: every code 1..255 is queried on every pass, lowest first.
#include "skin/key_scan.h"

#include <cstddef>

namespace skin {

namespace {

// Holding Delete, or pressing it again with nothing else pressed in between,
// removes one entry only: the latch is re-armed by another code, not by release.
void deleteSelectedEntry(KeyScan& keys, playlist::Playlist& playlist, const platform::Event& event) {
    if (event.lastEvent == platform::EVENT_NONE || keys.deleteLatch != 0) return;
    if (playlist::selectedRow() == -1) return;
    playlist::removeSelectedEntry(playlist);
    keys.deleteLatch = 1;
}

}  // namespace

// A code below Delete seen on the same pass re-arms the latch before Delete is
// tested, one above it only afterwards. Each reading is kept for the later
// stages of the pass (the media keys): a second query of a code would lose a
// press the scan already took as "pressed since the last query".
void scanKeys(KeyScan& keys, Drag& drag, playlist::Playlist& playlist, const platform::Event& event) {
    for (int code = FIRST_KEY_CODE; code <= LAST_KEY_CODE; ++code) {
        keys.pressed[static_cast<std::size_t>(code)] = platform::keyPressed(code);
        if (!keys.pressed[static_cast<std::size_t>(code)]) continue;
        if (code != VK_DELETE_KEY) keys.deleteLatch = 0;
        if (code == platform::VK_LEFT_BUTTON) testDragStart(drag, event);
        if (code == VK_DELETE_KEY) deleteSelectedEntry(keys, playlist, event);
    }
}

}  // namespace skin
