// The pictures built into the program: complete 24-bit Windows bitmap files
// ("BM" header, bottom-up rows), generated from assets/*.bmp at build time.
#pragma once

#include <cstddef>

// Face of the main window, 186 x 64 (the two rightmost columns are unseen).
extern const unsigned char FACE_BMP[];
extern const std::size_t FACE_BMP_size;

// Playlist window frames: top 186 x 12, left 14 x 193, right 16 x 193, and the
// bottom bar 156 x 28 that carries the add, remove and clear buttons.
extern const unsigned char FRAME_TOP_BMP[];
extern const std::size_t FRAME_TOP_BMP_size;
extern const unsigned char FRAME_LEFT_BMP[];
extern const std::size_t FRAME_LEFT_BMP_size;
extern const unsigned char FRAME_RIGHT_BMP[];
extern const std::size_t FRAME_RIGHT_BMP_size;
extern const unsigned char FRAME_BOTTOM_BMP[];
extern const std::size_t FRAME_BOTTOM_BMP_size;

// The same arrays under the folder's namespace, as the program refers to them.
namespace assets {
using ::FACE_BMP;
using ::FACE_BMP_size;
using ::FRAME_TOP_BMP;
using ::FRAME_TOP_BMP_size;
using ::FRAME_LEFT_BMP;
using ::FRAME_LEFT_BMP_size;
using ::FRAME_RIGHT_BMP;
using ::FRAME_RIGHT_BMP_size;
using ::FRAME_BOTTOM_BMP;
using ::FRAME_BOTTOM_BMP_size;
}  // namespace assets
