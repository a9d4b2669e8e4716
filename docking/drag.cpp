// The face's drag: the start test, the edge collision and snap, the trail of
// positions the face took while following the pointer.
#include "docking/drag.h"

#include "docking/docking.h"
#include "numbers/numbers.h"

namespace docking {

using numbers::MAIN_WINDOW;

namespace {

constexpr int BAND_BOTTOM = 5;   // the top band: y below this
constexpr int BAND_LEFT = 21;    // and x above this
constexpr int LAST_FACE_ID = 9;  // events of ids below this come from the face

struct Placement {
    int x, y, width, height;
};

Placement facePlacement() {
    const platform::WindowRect rect = platform::windowRect(MAIN_WINDOW);
    const platform::Point client = platform::clientSize(MAIN_WINDOW);
    return {rect.x, rect.y, client.x, client.y};
}

// Edges are tested right, left, bottom, top; a later match wins, and a
// crossing never clears an edge already found.
void detectCollision(Drag& drag) {
    const Placement face = facePlacement();
    if (face.x + face.width > drag.screenWidth) drag.snapEdge = SNAP_RIGHT;
    if (face.x < -1) drag.snapEdge = SNAP_LEFT;
    if (face.y + face.height > drag.screenHeight) drag.snapEdge = SNAP_BOTTOM;
    if (face.y < -1) drag.snapEdge = SNAP_TOP;
}

// Records the face's new position when it moved; past the last entry the
// trail starts over, and that one move is not recorded.
void recordPosition(Drag& drag) {
    const Placement face = facePlacement();
    if (face.x == drag.trailX[drag.trailIndex] && face.y == drag.trailY[drag.trailIndex]) return;
    if (drag.trailIndex < TRAIL_LAST) {
        ++drag.trailIndex;
        drag.trailX[drag.trailIndex] = face.x;
        drag.trailY[drag.trailIndex] = face.y;
    } else {
        drag.trailIndex = 0;
    }
}

void followPointer(Drag& drag) {
    const platform::Point pointer = platform::cursorPosition();
    platform::moveWindow(MAIN_WINDOW, pointer.x - drag.grabX, pointer.y - drag.grabY);
    recordPosition(drag);
}

// Right and bottom leave the face two pixels inside the screen, left and top
// put it at 0 and 1.
void snapToEdge(const Drag& drag) {
    const Placement face = facePlacement();
    switch (drag.snapEdge) {
    case SNAP_RIGHT:
        platform::moveWindow(MAIN_WINDOW, drag.screenWidth - face.width - 2, face.y);
        break;
    case SNAP_LEFT:
        platform::moveWindow(MAIN_WINDOW, 0, face.y);
        break;
    case SNAP_BOTTOM:
        platform::moveWindow(MAIN_WINDOW, face.x, drag.screenHeight - face.height - 2);
        break;
    case SNAP_TOP:
        platform::moveWindow(MAIN_WINDOW, face.x, 1);
        break;
    default:
        break;
    }
}

}  // namespace

void startDragIfGrabbed(Drag& drag, const platform::Event& event, platform::Point pointer) {
    if (event.lastEvent == platform::EVENT_NONE) return;
    if (pointer.y >= BAND_BOTTOM || pointer.x <= BAND_LEFT || event.eventSource >= LAST_FACE_ID) return;
    drag.dragFlag = 1;
    drag.snapEdge = SNAP_NONE;
    drag.grabX = pointer.x;
    drag.grabY = pointer.y;
}

bool dragWindow(Drag& drag, const Options& options, bool playlistVisible) {
    if (drag.dragFlag != 1) return false;
    if (options.collision) detectCollision(drag);
    if (drag.snapEdge == SNAP_NONE) followPointer(drag);
    snapToEdge(drag);
    if (!platform::keyPressed(platform::VK_LEFT_BUTTON)) dockPlaylistWindow(drag, options, playlistVisible);
    return true;
}

}  // namespace docking
