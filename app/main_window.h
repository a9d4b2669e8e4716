// The main window: the face picture in a borderless 184 x 64 window, and its
// drawing surface.
#pragma once

#include "app/player.h"

namespace app {

void openMainWindow(const AppState& app);
// Before the first pass: the drawing surface, the empty strip, the flags.
void prepareDrawing(LoopState& loop);

}  // namespace app
