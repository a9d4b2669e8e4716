// Dragging the face by its top band, keeping it on the screen, and docking
// the playlist window below it again once the button is released.
#pragma once

#include <array>

#include "docking/window_options.h"
#include "platform/gui.h"

namespace docking {

constexpr int TRAIL_ENTRIES = 1602;  // entries 1..TRAIL_LAST are written, 0, 1600, 1601 stay 0
constexpr int TRAIL_LAST = 1599;
constexpr int SNAKE_STEP_MS = 10;

constexpr int SNAP_NONE = 0;
constexpr int SNAP_RIGHT = 1;
constexpr int SNAP_LEFT = 2;
constexpr int SNAP_BOTTOM = 3;
constexpr int SNAP_TOP = 4;

struct Drag {
    int dragFlag = 0;
    int grabX = 0;  // the pointer's client position when the drag last (re)started
    int grabY = 0;
    int snapEdge = SNAP_NONE;
    std::array<int, TRAIL_ENTRIES> trailX{};  // positions of the face while it followed the pointer
    std::array<int, TRAIL_ENTRIES> trailY{};
    int trailIndex = 0;   // the last entry written
    int screenWidth = 0;  // the primary screen, as measured once at start-up
    int screenHeight = 0;
};

// With the left button pressed: a drag (re)starts when the previous poll had
// an event, the pointer (in the face's client area) is on the face's top band
// and the last control or menu event came from the face.
void startDragIfGrabbed(Drag& drag, const platform::Event& event, platform::Point pointer);

// While the drag flag is 1, one step of the drag, and on release the docking
// of the playlist window. Returns whether it ran.
bool dragWindow(Drag& drag, const Options& options, bool playlistVisible);

}  // namespace docking
