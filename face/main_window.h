// The main window: the face picture in a borderless 184 x 64 window, and its
// drawing surface.
#pragma once

#include "face/loop_state.h"

namespace face {

// Centred on the primary screen, as measured at start-up.
void openMainWindow(int screenWidth, int screenHeight);
// Before the first pass: the drawing surface, the empty strip, the flags.
void prepareDrawing(LoopState& loop);

}  // namespace face
