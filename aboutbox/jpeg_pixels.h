// Turns the about box's JPEG streams into 24-bit BGR pixel rows; no window code.
#pragma once

#include <cstddef>

namespace ravlet {

// Bytes per pixel row, padded to four bytes as a device-independent bitmap wants.
std::size_t pictureStride(int width);

// Reads only the stream's header; false when it is not a readable JPEG stream.
bool readPictureSize(const unsigned char* stream, std::size_t size, int* width, int* height);

// Decodes the whole stream top-down into `pixels` (height rows of `stride` bytes,
// blue-green-red). False, without touching anything outside `pixels`, when the
// stream is corrupt or its size differs from width x height.
bool decodePicture(const unsigned char* stream, std::size_t size, unsigned char* pixels, int width, int height,
                   std::size_t stride);

}  // namespace ravlet
