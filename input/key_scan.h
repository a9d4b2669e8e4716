// The key scan: once a pass, the pressed state of every virtual-key code, read
// in one sweep and kept for the rest of the pass, and the Delete latch.
#pragma once

#include <array>

namespace input {

constexpr int FIRST_KEY_CODE = 1;
constexpr int LAST_KEY_CODE = 255;
constexpr int VK_DELETE_KEY = 46;
// The media keys.
constexpr int VK_NEXT_KEY = 0xB0;
constexpr int VK_PREVIOUS_KEY = 0xB1;
constexpr int VK_STOP_KEY = 0xB2;
constexpr int VK_PLAY_PAUSE_KEY = 0xB3;

struct KeyScan {
    // What this pass's scan read for each code: down now, or pressed since the last read.
    std::array<bool, LAST_KEY_CODE + 1> pressed{};
    // 1 once Delete removed an entry, until another code is seen pressed.
    int deleteLatch = 0;
    // This pass: Delete was pressed with the latch open when the scan reached
    // it (codes below Delete, seen first, open it before; codes above, after).
    bool deleteArmed = false;
    bool codeAboveDelete = false;  // a code above Delete was pressed this pass
};

// Reads every code once, lowest first, and opens the latch for the codes seen.
void scanKeys(KeyScan& keys);
// Delete removed an entry this pass: the latch closes, unless a code above
// Delete, seen after it, opened it again.
void closeDeleteLatch(KeyScan& keys);

inline bool pressed(const KeyScan& keys, int code) { return keys.pressed[static_cast<std::size_t>(code)]; }

}  // namespace input
