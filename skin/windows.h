// The numbers and size of the player's two windows, shared by the loop above
// and the docking code here.
#pragma once

namespace skin {

constexpr int MAIN_WINDOW = 0;
constexpr int PLAYLIST_WINDOW = 1;

constexpr int MAIN_CLIENT_WIDTH = 184;
constexpr int MAIN_CLIENT_HEIGHT = 64;

}  // namespace skin
