// The options menu: the popup of window options, the maker's pages and the
// about box. Its check marks are the option state itself; nothing else keeps it.
#pragma once

#include "platform/gui.h"

namespace skin {

constexpr int OPTIONS_MENU = 20;
constexpr int ABOUT_ITEM = 21;
constexpr int UPDATES_ITEM = 22;
constexpr int ALWAYS_ON_TOP_ITEM = 23;
constexpr int NEW_SKINS_ITEM = 24;
constexpr int COLLISION_ITEM = 25;
constexpr int ANIMATION_NONE_ITEM = 26;
constexpr int ANIMATION_LINEAR_ITEM = 27;
constexpr int ANIMATION_SNAKE_ITEM = 28;
constexpr int ANIMATION_MENU = 29;  // the "Animation" submenu

constexpr int ABOUT_LIBRARY = 0;  // library slot of ravlet.dll, loaded at start-up

// Builds menu 20 with its starting marks (Collision Detection, Snake).
void buildOptionsMenu();
// 1 when the item's check mark is shown; 0 also when the menu was never built.
int optionChecked(int item);

// Loop stage 8: runs the chosen item of a menu event polled in the previous pass.
void runMenuChoice(const platform::Event& event);
// Loop stage 9: a right click on a picture control opens the menu at the pointer.
void openMenuOnRightClick(const platform::Event& event);

}  // namespace skin
