// Decoding of uncompressed 24-bit bitmap files into pixel rows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/sim/sim.h"

namespace sim {

bool parseBitmap(const std::uint8_t* bytes, std::size_t size, Image& image);

}  // namespace sim
