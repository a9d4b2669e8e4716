// The options menu: the popup of window options, the maker's pages and the
// about box. Its check marks are the option state itself; nothing else keeps it.
#pragma once

#include "platform/gui.h"

namespace options {

// Builds the options menu with its starting marks (Collision Detection, Snake).
void buildOptionsMenu();
// 1 when the item's check mark is shown; 0 also when the menu was never built.
int optionChecked(int item);

// Runs the item a menu event polled in the previous pass chose.
void runMenuChoice(const platform::Event& event);
// A right click on a picture control opens the menu at the pointer.
void openMenuOnRightClick(const platform::Event& event);

}  // namespace options
