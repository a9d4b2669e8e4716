// The playlist window's return below the face when a drag ends: a jump, an
// L-shaped slide one pixel per move, or the face's own path replayed.
#include "docking/docking.h"

#include "numbers/numbers.h"
#include "platform/system.h"
#include "skin/skin.h"

namespace docking {

using numbers::MAIN_WINDOW;
using numbers::PLAYLIST_WINDOW;

namespace {

// Across first, keeping the window's height, then down or up onto the target;
// the last horizontal step stops one pixel short, the vertical run lands on it.
void slideLinear(int targetX, int targetY) {
    const platform::WindowRect from = platform::windowRect(PLAYLIST_WINDOW);
    for (int x = from.x; x < targetX; ++x) platform::moveWindow(PLAYLIST_WINDOW, x, from.y);
    for (int x = from.x; x > targetX; --x) platform::moveWindow(PLAYLIST_WINDOW, x, from.y);
    for (int y = from.y; y < targetY; ++y) platform::moveWindow(PLAYLIST_WINDOW, targetX, y);
    for (int y = from.y; y > targetY; --y) platform::moveWindow(PLAYLIST_WINDOW, targetX, y);
    if (targetY != from.y) platform::moveWindow(PLAYLIST_WINDOW, targetX, targetY);
}

// Retraces entries 3..`length`, the ones this drag wrote since the trail was
// last reset to 2 (or since it started over), so that nothing of an earlier
// drag is replayed; the playlist window's corner follows the face's bottom corner.
void replaySnake(Drag& drag, int length) {
    while (drag.trailIndex < length) {
        ++drag.trailIndex;
        const int x = drag.trailX[drag.trailIndex];
        const int y = drag.trailY[drag.trailIndex];
        if (x == 0 || y == 0) continue;
        platform::moveWindow(PLAYLIST_WINDOW, x, y + skin::FACE_HEIGHT);
        platform::sleepMs(SNAKE_STEP_MS);
    }
    drag.trailX.fill(0);
    drag.trailY.fill(0);
}

}  // namespace

void dockPlaylistWindow(Drag& drag, const Options& options, bool playlistVisible) {
    drag.dragFlag = 0;
    const platform::WindowRect face = platform::windowRect(MAIN_WINDOW);
    const int targetX = face.x;
    const int targetY = face.y + platform::clientSize(MAIN_WINDOW).y;
    const bool shown = playlistVisible;
    if (shown && options.animation == Animation::Linear) slideLinear(targetX, targetY);
    const int length = drag.trailIndex;
    drag.trailIndex = 2;
    if (shown && options.animation == Animation::Snake) replaySnake(drag, length);
    platform::moveWindow(PLAYLIST_WINDOW, targetX, targetY);
}

}  // namespace docking
