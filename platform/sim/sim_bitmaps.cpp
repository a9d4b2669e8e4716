// Simulated pictures: uncompressed 24-bit bitmap files ("BM", 40-byte or
// larger info header) decoded into pixel rows, for the program's own pictures
// and the pixel tables read from files.
#include "platform/sim/sim_bitmaps.h"

#include <map>
#include <string>
#include <utility>

#include "platform/draw.h"
#include "platform/sim/sim_state.h"

namespace sim {

constexpr std::size_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t INFO_HEADER_MIN = 40;

static std::uint32_t readU32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

static std::uint16_t readU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// Accepts bottom-up (positive height) and top-down (negative height) files;
// every size is checked against the bytes present before anything is read.
bool parseBitmap(const std::uint8_t* bytes, std::size_t size, Image& image) {
    if (!bytes || size < FILE_HEADER_SIZE + INFO_HEADER_MIN) return false;
    if (bytes[0] != 'B' || bytes[1] != 'M') return false;
    const std::uint8_t* info = bytes + FILE_HEADER_SIZE;
    std::uint32_t dataOffset = readU32(bytes + 10);
    std::uint32_t infoSize = readU32(info);
    std::int32_t width = static_cast<std::int32_t>(readU32(info + 4));
    std::int32_t height = static_cast<std::int32_t>(readU32(info + 8));
    std::uint16_t planes = readU16(info + 12);
    std::uint16_t bitsPerPixel = readU16(info + 14);
    std::uint32_t compression = readU32(info + 16);
    if (infoSize < INFO_HEADER_MIN || planes != 1 || bitsPerPixel != 24 || compression != 0) return false;
    if (width <= 0 || height == 0 || height == INT32_MIN) return false;
    bool topDown = height < 0;
    std::int64_t rows = topDown ? -static_cast<std::int64_t>(height) : height;
    std::int64_t stride = (static_cast<std::int64_t>(width) * 3 + 3) / 4 * 4;
    if (dataOffset < FILE_HEADER_SIZE + infoSize) return false;
    if (static_cast<std::int64_t>(dataOffset) + stride * rows > static_cast<std::int64_t>(size)) return false;

    image.width = width;
    image.height = static_cast<int>(rows);
    image.pixels.assign(static_cast<std::size_t>(width) * rows, platform::NO_COLOUR);
    for (std::int64_t y = 0; y < rows; ++y) {
        std::int64_t fileRow = topDown ? y : rows - 1 - y;
        const std::uint8_t* row = bytes + dataOffset + fileRow * stride;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint8_t* bgr = row + x * 3;
            image.pixels[static_cast<std::size_t>(y * width + x)] = platform::rgb(bgr[2], bgr[1], bgr[0]);
        }
    }
    return true;
}

}  // namespace sim

namespace platform {

using sim::world;

// The pictures built into the program are decoded once per process: every
// reset of the world starts the program again on the same bytes.
bool decodeBitmap(int image, const std::uint8_t* bytes, std::size_t size) {
    if (sim::enter(sim::Call::decodeBitmap)) return false;
    static std::map<std::pair<const std::uint8_t*, std::size_t>, sim::Image> decodedBefore;
    auto known = decodedBefore.find({bytes, size});
    if (known == decodedBefore.end()) {
        sim::Image decoded;
        if (!sim::parseBitmap(bytes, size, decoded)) return false;
        known = decodedBefore.emplace(std::make_pair(bytes, size), std::move(decoded)).first;
    }
    if (world().images.count(image)) sim::gdiFree();
    sim::gdiCreate();
    world().images[image] = known->second;
    return true;
}

void readBitmapPixels(const char* path, int width, int height, Colour* table) {
    const bool fails = sim::enter(sim::Call::readBitmapPixels);
    if (!table || width <= 0 || height <= 0) return;
    sim::Image picture;
    std::string bytes;
    bool loaded = !fails && path && sim::readWholeFile(path, bytes) &&
                  sim::parseBitmap(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), picture);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            bool inside = loaded && x < picture.width && y < picture.height;
            table[static_cast<std::size_t>(x) * height + y] =
                inside ? picture.pixels[static_cast<std::size_t>(y) * picture.width + x] : NO_COLOUR;
        }
    }
}

}  // namespace platform
