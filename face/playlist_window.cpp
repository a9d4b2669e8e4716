// The playlist window: a borderless 184 x 205 popup owned by the face, framed
// by four pictures, holding the playlist list.
#include "face/playlist_window.h"

#include <cstddef>
#include <cstdint>

#include "assets/embedded.h"
#include "numbers/numbers.h"
#include "options/options_menu.h"
#include "platform/draw.h"
#include "platform/gui.h"
#include "playlist/adding.h"
#include "playlist/playlist.h"
#include "skin/skin.h"

namespace face {

using numbers::MAIN_WINDOW;
using numbers::PLAYLIST_WINDOW;

namespace {

constexpr int PLAYLIST_CLIENT_WIDTH = 184;
constexpr int PLAYLIST_CLIENT_HEIGHT = 205;
constexpr platform::Colour LIST_TEXT_COLOUR = platform::rgb(255, 255, 255);
constexpr platform::Colour LIST_BACK_COLOUR = platform::rgb(95, 95, 95);

// Frame pictures, each decoded into the image and shown by the control of the same number.
struct FramePicture {
    int number, x, y, width, height;
    const std::uint8_t* bytes;
    std::size_t size;
};
const FramePicture FRAME_PICTURES[] = {
    {numbers::FRAME_TOP_CONTROL, 0, 0, 186, 12, assets::FRAME_TOP_BMP, assets::FRAME_TOP_BMP_size},
    {numbers::FRAME_LEFT_CONTROL, 0, 12, 14, 193, assets::FRAME_LEFT_BMP, assets::FRAME_LEFT_BMP_size},
    {numbers::FRAME_RIGHT_CONTROL, 170, 12, 16, 193, assets::FRAME_RIGHT_BMP, assets::FRAME_RIGHT_BMP_size},
    {numbers::FRAME_BOTTOM_CONTROL, 14, 177, 156, 28, assets::FRAME_BOTTOM_BMP, assets::FRAME_BOTTOM_BMP_size},
};

// The bottom frame's buttons, in window-1 client coordinates, strict bounds.
struct BarButton {
    int left, right;
};
constexpr BarButton ADD_BUTTON = {18, 40};
constexpr BarButton REMOVE_BUTTON = {44, 70};
constexpr BarButton CLEAR_BUTTON = {72, 96};
constexpr int BAR_TOP = 183;
constexpr int BAR_BOTTOM = 200;

bool inside(const BarButton& button, int x) { return x > button.left && x < button.right; }

}  // namespace

void decodePlaylistFrames() {
    for (const FramePicture& frame : FRAME_PICTURES) platform::decodeBitmap(frame.number, frame.bytes, frame.size);
}

// Without the face there is nothing to own the playlist window, which is then not made.
bool openPlaylistWindow(playlist::Playlist& playlist, docking::Options& options) {
    if (!platform::windowExists(MAIN_WINDOW)) return false;
    const platform::WindowRect face = platform::windowRect(MAIN_WINDOW);
    platform::WindowLayout layout;
    layout.title = "Playlist";
    layout.x = face.x;
    layout.y = face.y + skin::FACE_HEIGHT;
    layout.clientWidth = PLAYLIST_CLIENT_WIDTH;
    layout.clientHeight = PLAYLIST_CLIENT_HEIGHT;
    layout.owner = MAIN_WINDOW;
    layout.visible = false;  // shown by the loop once the flag says so; no flash at start
    if (!platform::openWindow(PLAYLIST_WINDOW, layout)) return false;
    bool framesMade = true;
    for (const FramePicture& frame : FRAME_PICTURES) {
        framesMade = platform::addImageControl(PLAYLIST_WINDOW, frame.number, frame.number, frame.x, frame.y,
                                               frame.width, frame.height) &&
                     framesMade;
    }
    playlist.listMade = platform::addListControl(PLAYLIST_WINDOW, numbers::PLAYLIST_LIST, 12, 10, 160, 169,
                                                 LIST_TEXT_COLOUR, LIST_BACK_COLOUR);
    // The last step of the window's set-up, and only over a whole window:
    // without its controls there is no menu either.
    if (framesMade && playlist.listMade) options::buildOptionsMenu(options);
    platform::acceptDroppedFiles(PLAYLIST_WINDOW);
    return true;
}

// The first load treats row 0 as a row chosen by number: it relabels it in
// place instead of adding a row that would stand for no slot.
void enterCommandLineFiles(playlist::Playlist& playlist, playback::Transport& transport,
                           const std::vector<std::string>& paths) {
    for (const std::string& path : paths) playlist::appendPath(playlist, path);
    transport.currentIndex = 0;
    transport.movedByNext = true;
}

// A playlist window already on screen is not shown again: the normal show is
// an activating one, and repeating it on every pass could take the focus from
// whatever program the user is in.
void applyPlaylistVisibility(const LoopState& loop) {
    if (!loop.playlistVisible) {
        platform::activateWindow(MAIN_WINDOW);
        platform::hideWindow(PLAYLIST_WINDOW);
    } else if (!platform::windowVisible(PLAYLIST_WINDOW)) {
        platform::showWindowNormal(PLAYLIST_WINDOW);
    }
}

bool playDoubleClickedRow(playback::Transport& transport, const playlist::Playlist& playlist,
                          const platform::Event& event) {
    if (event.eventSource != numbers::PLAYLIST_LIST || event.eventType != platform::EVENT_LEFT_DOUBLE_CLICK) {
        return false;
    }
    const int selected = playlist::selectedRow(playlist);
    if (selected == -1) return false;
    playback::chooseRow(transport, playlist, selected);
    return true;
}

// The pointer is measured in the playlist window's client area.
bool pressPlaylistBarButton(playlist::Playlist& playlist, playback::Transport& transport,
                            const platform::Event& event) {
    if (event.lastEvent != platform::EVENT_CONTROL || event.eventSource != numbers::FRAME_BOTTOM_CONTROL ||
        event.eventType != platform::EVENT_LEFT_CLICK) {
        return false;
    }
    const platform::Point pointer = platform::pointerIn(PLAYLIST_WINDOW);
    if (pointer.y <= BAR_TOP || pointer.y >= BAR_BOTTOM) return false;
    if (inside(ADD_BUTTON, pointer.x)) return playlist::addFilesByDialog(playlist, transport.currentPath);
    if (inside(REMOVE_BUTTON, pointer.x)) playlist::removeSelectedEntry(playlist);
    if (inside(CLEAR_BUTTON, pointer.x)) playlist::clearPlaylist(playlist);
    return false;
}

}  // namespace face
