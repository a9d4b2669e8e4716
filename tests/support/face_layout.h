// The player's windows as scenario tests lay them out without a start-up: the
// main window with its drawing surface, and the playlist window with its list.
#pragma once

#include "app/player.h"
#include "platform/draw.h"
#include "platform/gui.h"
#include "playlist/playlist.h"

namespace support {

// Opens the 184 x 64 main window at (x, y) and takes its drawing surface.
inline void openFaceWindow(int x = 0, int y = 0) {
    platform::WindowLayout face;
    face.title = "Tunewell";
    face.x = x;
    face.y = y;
    face.clientWidth = app::MAIN_CLIENT_WIDTH;
    face.clientHeight = app::MAIN_CLIENT_HEIGHT;
    platform::openWindow(app::MAIN_WINDOW, face);
    platform::acquireDrawingSurface(app::MAIN_WINDOW);
}

// Opens the playlist window owned by the main window at (x, y), with its list.
inline void openPlaylistWindow(int x, int y) {
    platform::WindowLayout list;
    list.title = "Playlist";
    list.x = x;
    list.y = y;
    list.clientWidth = app::MAIN_CLIENT_WIDTH;
    list.clientHeight = 205;
    list.owner = app::MAIN_WINDOW;
    platform::openWindow(app::PLAYLIST_WINDOW, list);
    platform::addListControl(app::PLAYLIST_WINDOW, playlist::PLAYLIST_LIST, 12, 10, 160, 169, 0,
                             0xFFFFFF);
}

}  // namespace support
