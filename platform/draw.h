// Drawing on the one held drawing surface, fonts, and pictures.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Colours as the system reads pixels: 0x00BBGGRR; -1 means no colour.
using Colour = std::int32_t;
constexpr Colour NO_COLOUR = -1;
constexpr Colour rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

// Acquires a drawing context on `window`, held until the services stop.
// All drawing below goes to it at once, with no off-screen buffer.
void acquireDrawingSurface(int window);

void fillBox(int x, int y, int width, int height, Colour colour);
void plotPixel(int x, int y, Colour colour);
void setTextPosition(int x, int y);
void setTextColour(Colour colour);
void setTextBackground(Colour colour);
void selectFont(int font);
// Draws opaque text at the text position, which then advances past it.
void drawText(const char* text);

// Bold-or-not font of `points` size on the display's vertical resolution.
void createFont(int font, const char* face, int points, int weight);

// Decodes a complete bitmap file held in memory into image slot `image`.
bool decodeBitmap(int image, const std::uint8_t* bytes, std::size_t size);

// Loads a bitmap file and reads its pixels into `table[x * height + y]` for
// x < width, y < height; pixels outside the picture, or all of them when it
// cannot be loaded, read as NO_COLOUR.
void readBitmapPixels(const char* path, int width, int height, Colour* table);

}  // namespace platform
