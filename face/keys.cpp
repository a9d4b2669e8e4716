// The key scan's snapshot turned into the drag's start and Delete's removal.
#include "face/keys.h"

#include "numbers/numbers.h"
#include "platform/gui.h"

namespace face {

// Holding Delete removes one row; the latch opens for another code pressed.
void actOnKeys(input::KeyScan& keys, docking::Drag& drag, playlist::Playlist& playlist, const platform::Event& event) {
    input::scanKeys(keys);
    if (input::pressed(keys, platform::VK_LEFT_BUTTON)) {
        docking::startDragIfGrabbed(drag, event, platform::pointerIn(numbers::MAIN_WINDOW));
    }
    if (keys.deleteArmed && event.lastEvent != platform::EVENT_NONE && playlist::selectedRow(playlist) != -1) {
        playlist::removeSelectedEntry(playlist);
        input::closeDeleteLatch(keys);
    }
}

}  // namespace face
