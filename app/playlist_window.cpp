// The playlist window: a borderless 184 x 205 popup owned by the face, framed
// by four pictures, holding the playlist list.
#include "app/playlist_window.h"

#include "platform/draw.h"
#include "platform/gui.h"
#include "playlist/adding.h"
#include "playlist/playlist.h"
#include "skin/options_menu.h"

namespace app {

namespace {

constexpr int PLAYLIST_CLIENT_WIDTH = 184;
constexpr int PLAYLIST_CLIENT_HEIGHT = 205;
constexpr int FRAME_BOTTOM_CONTROL = 13;
constexpr platform::Colour LIST_TEXT_COLOUR = platform::rgb(255, 255, 255);
constexpr platform::Colour LIST_BACK_COLOUR = platform::rgb(95, 95, 95);

// Frame pictures, each shown by the control of the same number as its image.
struct FramePicture {
    int number, x, y, width, height;
};
constexpr FramePicture FRAME_PICTURES[] = {
    {10, 0, 0, 186, 12}, {11, 0, 12, 14, 193}, {12, 170, 12, 16, 193}, {13, 14, 177, 156, 28}};

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

// Without the face there is nothing to own the playlist window, which is then not made.
bool openPlaylistWindow(playlist::Playlist& playlist) {
    if (!platform::windowExists(MAIN_WINDOW)) return false;
    const platform::WindowRect face = platform::windowRect(MAIN_WINDOW);
    platform::WindowLayout layout;
    layout.title = "Playlist";
    layout.x = face.x;
    layout.y = face.y + MAIN_CLIENT_HEIGHT;
    layout.clientWidth = PLAYLIST_CLIENT_WIDTH;
    layout.clientHeight = PLAYLIST_CLIENT_HEIGHT;
    layout.owner = MAIN_WINDOW;
    layout.visible = false;  // shown by stage 1 once the flag says so; no flash at start
    if (!platform::openWindow(PLAYLIST_WINDOW, layout)) return false;
    bool framesMade = true;
    for (const FramePicture& frame : FRAME_PICTURES) {
        framesMade = platform::addImageControl(PLAYLIST_WINDOW, frame.number, frame.number, frame.x, frame.y,
                                               frame.width, frame.height) && framesMade;
    }
    playlist.listMade = platform::addListControl(PLAYLIST_WINDOW, playlist::PLAYLIST_LIST, 12, 10, 160, 169,
                                                 LIST_TEXT_COLOUR, LIST_BACK_COLOUR);
    // The last step of the window's set-up, and only over a whole window:
    // without its controls there is no menu either.
    if (framesMade && playlist.listMade) skin::buildOptionsMenu();
    platform::acceptDroppedFiles(PLAYLIST_WINDOW);
    return true;
}

// The first load treats row 0 as a row chosen by number: it relabels it in
// place instead of adding a row that would stand for no slot.
void enterCommandLineFiles(playlist::Playlist& playlist, playback::Transport& transport,
                           const std::vector<std::string>& paths) {
    for (const std::string& path : paths) playlist::appendPath(playlist, path);
    transport.currentIndex = 0;
    transport.movedByNext = 1;
}

// A playlist window already on screen is not shown again: the normal show is
// an activating one, and repeating it on every pass could take the focus from
// whatever program the user is in.
void applyPlaylistVisibility(const LoopState& loop) {
    if (loop.playlistVisible == 0) {
        platform::activateWindow(MAIN_WINDOW);
        platform::hideWindow(PLAYLIST_WINDOW);
    } else if (!platform::windowVisible(PLAYLIST_WINDOW)) {
        platform::showWindowNormal(PLAYLIST_WINDOW);
    }
}

// The pointer is measured in the playlist window's client area; the face is
// the current window again on every path out.
bool pressPlaylistBarButton(playlist::Playlist& playlist, playback::Transport& transport,
                            const platform::Event& event) {
    if (event.lastEvent != platform::EVENT_CONTROL || event.eventSource != FRAME_BOTTOM_CONTROL ||
        event.eventType != platform::EVENT_LEFT_CLICK) {
        return false;
    }
    platform::selectWindow(PLAYLIST_WINDOW);
    const int x = platform::mouseX();
    const int y = platform::mouseY();
    platform::selectWindow(MAIN_WINDOW);
    if (y <= BAR_TOP || y >= BAR_BOTTOM) return false;
    if (inside(ADD_BUTTON, x)) return playlist::addFilesByDialog(playlist, transport.currentPath);
    if (inside(REMOVE_BUTTON, x)) playlist::removeSelectedEntry(playlist);
    if (inside(CLEAR_BUTTON, x)) playlist::clearPlaylist(playlist);
    return false;
}

}  // namespace app
