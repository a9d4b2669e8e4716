// The four display colours the face is drawn in, shared by every subsystem that draws on it.
#pragma once

#include "platform/draw.h"

namespace skin {

constexpr platform::Colour TEXT_AREA_COLOUR = platform::rgb(204, 204, 204);
constexpr platform::Colour BAR_COLOUR = platform::rgb(172, 172, 172);
constexpr platform::Colour BAR_HIGHLIGHT_COLOUR = platform::rgb(255, 255, 255);
constexpr platform::Colour TEXT_COLOUR = platform::rgb(0, 0, 0);

}  // namespace skin
