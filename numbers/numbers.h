// The small numbers the program picks for what it asks of the system:
// windows, controls, pictures, menus and their items, fonts and the library
// slot. Control and menu item numbers share one space: an event names
// either, and the drag tells the face's own events by a number below 9.
#pragma once

namespace numbers {

// Windows.
constexpr int MAIN_WINDOW = 0;      // the face
constexpr int PLAYLIST_WINDOW = 1;  // the playlist window below it

// Controls: the face picture, the playlist window's four frame pictures (the
// bottom one carries the add, remove and clear buttons) and its list.
constexpr int FACE_CONTROL = 0;
constexpr int FRAME_TOP_CONTROL = 10;
constexpr int FRAME_LEFT_CONTROL = 11;
constexpr int FRAME_RIGHT_CONTROL = 12;
constexpr int FRAME_BOTTOM_CONTROL = 13;
constexpr int PLAYLIST_LIST = 14;

// Decoded pictures: each frame picture has the number of the control that shows it.
constexpr int FACE_IMAGE = 0;
constexpr int FRAME_TOP_IMAGE = 10;
constexpr int FRAME_LEFT_IMAGE = 11;
constexpr int FRAME_RIGHT_IMAGE = 12;
constexpr int FRAME_BOTTOM_IMAGE = 13;

// The options menu, its items and its "Animation" submenu.
constexpr int OPTIONS_MENU = 20;
constexpr int ABOUT_ITEM = 21;
constexpr int UPDATES_ITEM = 22;
constexpr int ALWAYS_ON_TOP_ITEM = 23;
constexpr int NEW_SKINS_ITEM = 24;
constexpr int COLLISION_ITEM = 25;
constexpr int ANIMATION_NONE_ITEM = 26;
constexpr int ANIMATION_LINEAR_ITEM = 27;
constexpr int ANIMATION_SNAKE_ITEM = 28;
constexpr int ANIMATION_MENU = 29;

// Fonts of the information strip.
constexpr int INFO_LABEL_FONT = 1;  // "Arial" 7 pt bold
constexpr int INFO_VALUE_FONT = 2;  // "Arial" 10 pt bold

// The library slot of ravlet.dll, loaded at start-up.
constexpr int ABOUT_LIBRARY = 0;

}  // namespace numbers
