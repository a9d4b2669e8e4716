// The main window: a borderless 184 x 64 face centred on the screen.
#include "app/main_window.h"

#include "assets/embedded.h"
#include "metadata/info_strip.h"
#include "platform/draw.h"
#include "platform/gui.h"
#include "playlist/adding.h"
#include "skin/colours.h"

namespace app {

namespace {

constexpr int FRAME_TOP_IMAGE = 10;
constexpr int FRAME_LEFT_IMAGE = 11;
constexpr int FRAME_RIGHT_IMAGE = 12;
constexpr int FRAME_BOTTOM_IMAGE = 13;

constexpr int FACE_PICTURE_WIDTH = 186;

// True for a left click polled in the previous pass on a button the mouse is on.
bool clicked(skin::Skin& face, skin::Button button, const platform::Event& event) {
    return skin::hoverStep(face, button, false) && event.eventType == platform::EVENT_LEFT_CLICK;
}

}  // namespace

void decodePlaylistFrames() {
    platform::decodeBitmap(FRAME_TOP_IMAGE, assets::FRAME_TOP_BMP, assets::FRAME_TOP_BMP_size);
    platform::decodeBitmap(FRAME_LEFT_IMAGE, assets::FRAME_LEFT_BMP, assets::FRAME_LEFT_BMP_size);
    platform::decodeBitmap(FRAME_RIGHT_IMAGE, assets::FRAME_RIGHT_BMP, assets::FRAME_RIGHT_BMP_size);
    platform::decodeBitmap(FRAME_BOTTOM_IMAGE, assets::FRAME_BOTTOM_BMP,
                           assets::FRAME_BOTTOM_BMP_size);
}

void openMainWindow(const AppState& app) {
    platform::WindowLayout layout;
    layout.title = "Tunewell";
    layout.clientWidth = MAIN_CLIENT_WIDTH;
    layout.clientHeight = MAIN_CLIENT_HEIGHT;
    layout.x = app.screenWidth / 2 - MAIN_CLIENT_WIDTH / 2;
    layout.y = app.screenHeight / 2 - MAIN_CLIENT_HEIGHT / 2;
    if (!platform::openWindow(MAIN_WINDOW, layout)) return;
    platform::addImageControl(MAIN_WINDOW, FACE_CONTROL, FACE_IMAGE, 0, 0, FACE_PICTURE_WIDTH,
                              MAIN_CLIENT_HEIGHT);
    platform::acceptDroppedFiles(MAIN_WINDOW);
}

void prepareDrawing(LoopState& loop) {
    platform::selectWindow(MAIN_WINDOW);
    platform::acquireDrawingSurface(MAIN_WINDOW);
    metadata::clearStrip();
    platform::setTextBackground(skin::TEXT_AREA_COLOUR);
    loop.playlistVisible = 0;
}

// The only normal end: the rest of the pass still runs, then the loop leaves.
bool handleCloseButton(AppState& app, skin::Skin& face, const platform::Event& event) {
    if (!clicked(face, skin::CLOSE, event)) return false;
    app.quitFlag = 1;
    return true;
}

// The face is minimised whichever player window is in front; the playlist
// window, owned by it, goes with it.
void handleMinimiseButton(LoopState& loop, skin::Skin& face) {
    if (!clicked(face, skin::MINIMISE, loop.event)) return;
    loop.playlistVisible = 0;
    platform::minimiseWindow(MAIN_WINDOW);
}

bool handlePlaylistButton(LoopState& loop, skin::Skin& face, playlist::Playlist& playlist,
                          playback::Transport& transport) {
    if (!clicked(face, skin::PLAYLIST, loop.event)) return false;
    loop.playlistVisible = loop.playlistVisible == 1 ? 0 : 1;
    if (playlist::rowCount() != 0 || transport.trackOpen == 1) return false;
    return playlist::addFilesByDialog(playlist, transport.currentPath);
}

}  // namespace app
