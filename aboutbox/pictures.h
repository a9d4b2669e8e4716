// The three JPEG pictures built into the library, by picture slot.
#pragma once

#include <cstddef>

namespace ravlet {

constexpr int PICTURE_SLOTS = 3;
constexpr int PICTURE_DOWNLOAD = 0;
constexpr int PICTURE_CLOSE = 1;
constexpr int PICTURE_BACKGROUND = 2;

struct PictureStream {
    const unsigned char* bytes;
    std::size_t size;
    int width;
    int height;
};

// The embedded stream of `slot` and the size its control is laid out for.
PictureStream pictureStream(int slot);

}  // namespace ravlet
