// The key scan: every code 1..255 is read on every pass, lowest first.
#include "input/key_scan.h"

#include <cstddef>

#include "platform/gui.h"

namespace input {

// Each reading is kept for the later stages of the pass (the media keys): a
// second read of a code would lose a press the scan already took as
// "pressed since the last read". Holding Delete, or pressing it again with
// nothing else pressed in between, removes one entry only: the latch opens
// for another code, not for Delete's release.
void scanKeys(KeyScan& keys) {
    keys.deleteArmed = false;
    keys.codeAboveDelete = false;
    for (int code = FIRST_KEY_CODE; code <= LAST_KEY_CODE; ++code) {
        const bool down = platform::keyPressed(code);
        keys.pressed[static_cast<std::size_t>(code)] = down;
        if (!down) continue;
        if (code < VK_DELETE_KEY) keys.deleteLatch = 0;
        if (code == VK_DELETE_KEY) keys.deleteArmed = keys.deleteLatch == 0;
        if (code > VK_DELETE_KEY) keys.codeAboveDelete = true;
    }
    if (keys.codeAboveDelete) keys.deleteLatch = 0;
}

void closeDeleteLatch(KeyScan& keys) { keys.deleteLatch = keys.codeAboveDelete ? 0 : 1; }

}  // namespace input
