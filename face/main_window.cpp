// The main window: a borderless 184 x 64 face centred on the screen.
#include "face/main_window.h"

#include "face/info_strip.h"
#include "numbers/numbers.h"
#include "platform/draw.h"
#include "platform/gui.h"
#include "skin/colours.h"
#include "skin/skin.h"

namespace face {

using numbers::MAIN_WINDOW;

void openMainWindow(int screenWidth, int screenHeight) {
    platform::WindowLayout layout;
    layout.title = "Tunewell";
    layout.clientWidth = skin::FACE_WIDTH;
    layout.clientHeight = skin::FACE_HEIGHT;
    layout.x = screenWidth / 2 - skin::FACE_WIDTH / 2;
    layout.y = screenHeight / 2 - skin::FACE_HEIGHT / 2;
    if (!platform::openWindow(MAIN_WINDOW, layout)) return;
    platform::addImageControl(MAIN_WINDOW, numbers::FACE_CONTROL, numbers::FACE_IMAGE, 0, 0, skin::FACE_PICTURE_WIDTH,
                              skin::FACE_HEIGHT);
    platform::acceptDroppedFiles(MAIN_WINDOW);
}

void prepareDrawing(LoopState& loop) {
    platform::acquireDrawingSurface(MAIN_WINDOW);
    clearStrip();
    platform::setTextBackground(skin::TEXT_AREA_COLOUR);
    loop.playlistVisible = false;
}

}  // namespace face
