// The position and volume bars of the face: columns of three single pixels,
// filled or emptied, and where the pointer on them seeks to or sets the volume.
#pragma once

#include "platform/draw.h"
#include "platform/gui.h"

namespace skin {

constexpr int POSITION_COLUMNS = 122;
constexpr int VOLUME_COLUMNS = 46;

// How many columns a volume (0..1000) or a position of a length fills.
int volumeColumns(int deviceVolume);
int positionColumns(int positionMs, int trackLengthMs);

// Whether the pointer (in the face's client area) is on a bar, bounds included.
bool onPositionBar(platform::Point pointer);
bool onVolumeBar(platform::Point pointer);
// Where the pointer's column on the position bar seeks to: a whole multiple of
// a 122nd of the length, so x 8 seeks to two such steps, not to 0.
int seekTargetAt(int x, int trackLengthMs);
// The volume the pointer's column on the volume bar sets: 22 at x 133 up to 1012 at x 178.
int volumeAt(int x);

// Paints columns 1..`columns` of a bar, three pixels each, in `colour`.
void paintPositionColumns(int columns, platform::Colour colour);
void paintVolumeColumns(int columns, platform::Colour colour);

// Empties the position bar from column `from` down to 1, one pixel at a time
// with a 1 ms pause before each pixel (the stop animation) or after it (the
// end of a track's rewind).
enum class Pause { BeforeEachPixel, AfterEachPixel };
void emptyPositionBarSlowly(int from, Pause pause);

}  // namespace skin
