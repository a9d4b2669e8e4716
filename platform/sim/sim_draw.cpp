// Simulated drawing: one surface window, pixels, text cells, fonts and decoded pictures.
#include <fstream>
#include <iterator>

#include "platform/sim/sim_bitmap.h"
#include "platform/sim/sim_world.h"

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

// Writes one pixel of the surface window, clipped to its client area.
static void writePixel(int x, int y, platform::Colour colour) {
    WindowRecord* record = findWindow(world().surface);
    if (!record || colour == platform::NO_COLOUR) return;
    if (x < 0 || y < 0 || x >= record->width || y >= record->height) return;
    record->pixels[static_cast<std::size_t>(y) * record->width + x] = colour;
}

static bool readHostFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace sim

namespace platform {

using sim::world;

void acquireDrawingSurface(int window) { world().surface = window; }

void fillBox(int x, int y, int width, int height, Colour colour) {
    sim::countCall("fillBox");
    for (int py = y; py < y + height; ++py)
        for (int px = x; px < x + width; ++px) sim::writePixel(px, py, colour);
}

void plotPixel(int x, int y, Colour colour) {
    sim::countCall("plotPixel");
    ++world().pixelWrites;
    sim::writePixel(x, y, colour);
}

void setTextPosition(int x, int y) {
    world().textX = x;
    world().textY = y;
}

void setTextColour(Colour colour) { world().textColour = colour; }
void setTextBackground(Colour colour) { world().textBack = colour; }
void selectFont(int font) { world().font = font; }

void drawText(const char* text) {
    sim::countCall("drawText");
    sim::World& w = world();
    std::string content = text ? text : "";
    w.texts.push_back({w.surface, w.textX, w.textY, w.font, w.textColour, w.textBack, content, w.clock});
    bool small = w.font == sim::SMALL_FONT;
    int cellWidth = static_cast<int>(content.size()) * (small ? sim::SMALL_CHAR_WIDTH : sim::CHAR_WIDTH);
    int cellHeight = small ? sim::SMALL_CHAR_HEIGHT : sim::CHAR_HEIGHT;
    fillBox(w.textX, w.textY, cellWidth, cellHeight, w.textBack);
    w.textX += cellWidth;
}

void createFont(int font, const char* face, int points, int weight) {
    world().fonts[font] = {face ? face : "", points, weight};
}

bool decodeBitmap(int image, const std::uint8_t* bytes, std::size_t size) {
    sim::Image decoded;
    if (!sim::parseBitmap(bytes, size, decoded)) return false;
    world().images[image] = std::move(decoded);
    return true;
}

void readBitmapPixels(const char* path, int width, int height, Colour* table) {
    if (!table || width <= 0 || height <= 0) return;
    sim::Image picture;
    std::vector<std::uint8_t> bytes;
    bool loaded = path && sim::readHostFile(sim::hostPath(path), bytes) &&
                  sim::parseBitmap(bytes.data(), bytes.size(), picture);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            bool inside = loaded && x < picture.width && y < picture.height;
            table[static_cast<std::size_t>(x) * height + y] =
                inside ? picture.pixels[static_cast<std::size_t>(y) * picture.width + x] : NO_COLOUR;
        }
    }
}

}  // namespace platform
