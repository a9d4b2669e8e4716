// The options menu: the popup of window options, the maker's pages and the
// about box. The window options are held in `docking::Options`; the menu's
// check marks show them.
#pragma once

#include "docking/window_options.h"
#include "platform/gui.h"

namespace options {

// Builds the options menu with the starting options (Collision Detection,
// Snake), and marks them.
void buildOptionsMenu(docking::Options& options);

// Runs the item a menu event polled in the previous pass chose.
void runMenuChoice(docking::Options& options, const platform::Event& event);
// A right click on a picture control opens the menu at the pointer.
void openMenuOnRightClick(const platform::Event& event);

}  // namespace options
