// Simulated drawing: one surface window, pixels, text cells, fonts and the pictures shown.
#include <algorithm>
#include <map>
#include <utility>

#include "platform/sim/sim_state.h"

namespace sim {

// Text cells of the simulated fonts: font 1 is the small one.
constexpr int SMALL_FONT = 1;
constexpr int SMALL_CHAR_WIDTH = 6, SMALL_CHAR_HEIGHT = 12;
constexpr int CHAR_WIDTH = 8, CHAR_HEIGHT = 16;

platform::Colour pixel(int window, int x, int y) {
    const WindowRecord* record = findWindow(window);
    if (!record || x < 0 || y < 0 || x >= record->width || y >= record->height) return platform::NO_COLOUR;
    return record->pixels[static_cast<std::size_t>(y) * record->width + x];
}

std::int64_t pixelWrites() { return world().pixelWrites; }
const std::vector<TextDrawn>& textsDrawn() { return world().texts; }
void clearTextsDrawn() { world().texts.clear(); }

FontInfo fontInfo(int font) {
    auto it = world().fonts.find(font);
    return it == world().fonts.end() ? FontInfo{} : it->second;
}

Image imageInfo(int slot) {
    auto it = world().images.find(slot);
    return it == world().images.end() ? Image{} : it->second;
}

void gdiCreate() { ++world().gdiCreated; }
void gdiFree() { ++world().gdiFreed; }

GdiObjects gdiObjects() {
    const World& w = world();
    const std::size_t held =
        w.gdiReleased ? 0 : w.images.size() + w.fonts.size() + w.brushColours.size() + (w.contextHeld ? 1 : 0);
    return {w.gdiCreated, w.gdiFreed, static_cast<int>(held)};
}

// Writes one pixel of the surface window, clipped to its client area.
static void writePixel(int x, int y, platform::Colour colour) {
    WindowRecord* record = findWindow(world().surface);
    if (!record || colour == platform::NO_COLOUR) return;
    if (x < 0 || y < 0 || x >= record->width || y >= record->height) return;
    record->pixels[static_cast<std::size_t>(y) * record->width + x] = colour;
}

}  // namespace sim

namespace platform {

using sim::world;

// A context acquired again releases the one held before.
void acquireDrawingSurface(int window) {
    if (sim::enter(sim::Call::acquireDrawingSurface)) return;
    sim::World& w = world();
    w.surface = window;
    if (!sim::findWindow(window)) return;
    if (w.contextHeld) sim::gdiFree();
    sim::gdiCreate();
    w.contextHeld = true;
}

// The first fill in a colour makes its brush, kept until the services stop.
void fillBox(int x, int y, int width, int height, Colour colour) {
    sim::enter(sim::Call::fillBox);
    sim::World& w = world();
    if (colour != NO_COLOUR && sim::findWindow(w.surface) && w.brushColours.insert(colour).second) sim::gdiCreate();
    sim::fillSurface(x, y, width, height, colour);
}

}  // namespace platform

namespace sim {

void fillSurface(int x, int y, int width, int height, platform::Colour colour) {
    WindowRecord* record = findWindow(world().surface);
    if (!record || colour == platform::NO_COLOUR) return;
    const int left = std::max(x, 0), right = std::min(x + width, record->width);
    for (int row = std::max(y, 0); row < std::min(y + height, record->height) && left < right; ++row) {
        auto start = record->pixels.begin() + static_cast<std::ptrdiff_t>(row) * record->width;
        std::fill(start + left, start + right, colour);
    }
}
}  // namespace sim

namespace platform {

void plotPixel(int x, int y, Colour colour) {
    sim::enter(sim::Call::plotPixel);
    ++world().pixelWrites;
    sim::writePixel(x, y, colour);
}

void setTextPosition(int x, int y) {
    sim::enter(sim::Call::setTextPosition);
    world().textX = x;
    world().textY = y;
}

void setTextColour(Colour colour) {
    sim::enter(sim::Call::setTextColour);
    world().textColour = colour;
}
void setTextBackground(Colour colour) {
    sim::enter(sim::Call::setTextBackground);
    world().textBack = colour;
}
void selectFont(int font) {
    sim::enter(sim::Call::selectFont);
    world().font = font;
}

void drawText(const char* text) {
    sim::enter(sim::Call::drawText);
    sim::World& w = world();
    std::string content = text ? text : "";
    w.texts.push_back({w.surface, w.textX, w.textY, w.font, w.textColour, w.textBack, content, w.clock});
    bool small = w.font == sim::SMALL_FONT;
    int cellWidth = static_cast<int>(content.size()) * (small ? sim::SMALL_CHAR_WIDTH : sim::CHAR_WIDTH);
    int cellHeight = small ? sim::SMALL_CHAR_HEIGHT : sim::CHAR_HEIGHT;
    sim::fillSurface(w.textX, w.textY, cellWidth, cellHeight, w.textBack);
    w.textX += cellWidth;
}

// A font made again under the same number frees the old one.
void createFont(int font, const char* face, int points, int weight) {
    if (sim::enter(sim::Call::createFont)) return;
    if (world().fonts.count(font)) sim::gdiFree();
    sim::gdiCreate();
    world().fonts[font] = {face ? face : "", points, weight};
}

}  // namespace platform
