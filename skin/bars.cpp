// The bars, drawn pixel by pixel onto the face's drawing surface.
#include "skin/bars.h"

#include <algorithm>
#include <cmath>

#include "platform/system.h"
#include "skin/colours.h"

namespace skin {

namespace {

constexpr int BAR_TOP_ROW = 31;
constexpr int BAR_BOTTOM_ROW = 33;
constexpr int POSITION_BAR_ORIGIN = 6;  // column k is x = 6 + k
constexpr int VOLUME_BAR_ORIGIN = 132;

// Hit rectangles of the bars, bounds included.
constexpr int BAR_HIT_TOP = 29;
constexpr int BAR_HIT_BOTTOM = 35;
constexpr int SEEK_HIT_LEFT = 8;
constexpr int SEEK_HIT_RIGHT = 127;
constexpr int VOLUME_HIT_LEFT = 133;
constexpr int VOLUME_HIT_RIGHT = 178;
constexpr int VOLUME_STEP = 22;

bool onBar(platform::Point pointer, int left, int right) {
    return pointer.x >= left && pointer.x <= right && pointer.y >= BAR_HIT_TOP && pointer.y <= BAR_HIT_BOTTOM;
}

void paintColumns(int origin, int columns, platform::Colour colour) {
    for (int k = 1; k <= columns; ++k) {
        for (int row = BAR_TOP_ROW; row <= BAR_BOTTOM_ROW; ++row) {
            platform::plotPixel(origin + k, row, colour);
        }
    }
}

}  // namespace

// The device may report more than 1000; the bar never reaches past its last column.
int volumeColumns(int deviceVolume) {
    const float filled = std::ceil(static_cast<float>(deviceVolume) / 1000.0f * static_cast<float>(VOLUME_COLUMNS));
    return static_cast<int>(std::clamp(filled, 0.0f, static_cast<float>(VOLUME_COLUMNS)));
}

// A length of 0 has no position to show, and a position past the length fills
// the bar and no more.
int positionColumns(int positionMs, int trackLengthMs) {
    if (trackLengthMs == 0) return 0;
    const double quotient =
        static_cast<double>(positionMs) / static_cast<double>(trackLengthMs) * static_cast<double>(POSITION_COLUMNS);
    const float filled = std::ceil(static_cast<float>(quotient));
    return static_cast<int>(std::clamp(filled, 0.0f, static_cast<float>(POSITION_COLUMNS)));
}

bool onPositionBar(platform::Point pointer) { return onBar(pointer, SEEK_HIT_LEFT, SEEK_HIT_RIGHT); }

bool onVolumeBar(platform::Point pointer) { return onBar(pointer, VOLUME_HIT_LEFT, VOLUME_HIT_RIGHT); }

int seekTargetAt(int x, int trackLengthMs) { return (x - POSITION_BAR_ORIGIN) * (trackLengthMs / POSITION_COLUMNS); }

int volumeAt(int x) { return (x - VOLUME_BAR_ORIGIN) * VOLUME_STEP; }

void paintPositionColumns(int columns, platform::Colour colour) {
    paintColumns(POSITION_BAR_ORIGIN, std::clamp(columns, 0, POSITION_COLUMNS), colour);
}

void paintVolumeColumns(int columns, platform::Colour colour) {
    paintColumns(VOLUME_BAR_ORIGIN, std::clamp(columns, 0, VOLUME_COLUMNS), colour);
}

void emptyPositionBarSlowly(int from, Pause pause) {
    for (int k = from; k >= 1; --k) {
        for (int row = BAR_TOP_ROW; row <= BAR_BOTTOM_ROW; ++row) {
            if (pause == Pause::BeforeEachPixel) platform::sleepMs(1);
            platform::plotPixel(POSITION_BAR_ORIGIN + k, row, BAR_COLOUR);
            if (pause == Pause::AfterEachPixel) platform::sleepMs(1);
        }
    }
}

}  // namespace skin
