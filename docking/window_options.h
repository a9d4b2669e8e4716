// The window options the player holds: the face kept on top, the face kept on
// the screen while dragged, and how the playlist window docks again. The
// options menu changes them and shows them in its marks; the drag and the
// docking read them here.
#pragma once

namespace docking {

// The docking animation; `Unmarked` when the marked item was chosen again,
// which leaves none of the three marked.
enum class Animation { Unmarked, None, Linear, Snake };

// All off until the options menu is built with its starting options: without
// the menu there is nothing to choose them by.
struct Options {
    bool alwaysOnTop = false;
    bool collision = false;
    Animation animation = Animation::Unmarked;
};

}  // namespace docking
