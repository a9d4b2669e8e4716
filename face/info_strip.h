// The information strip: the idle text and the cycle of tag values, bit rate and time.
#pragma once

#include <string>

#include "metadata/track_tag.h"

namespace face {

// The strip's rectangle on the face: the text area every phase clears.
constexpr int STRIP_X = 22;
constexpr int STRIP_Y = 7;
constexpr int STRIP_WIDTH = 154;
constexpr int STRIP_HEIGHT = 18;

struct InfoStrip {
    int infoCounter = 0;
    int infoPhaseFlag = 0;
    int idleCounter = 0;
};

void createInfoFonts();
// Fills the strip's rectangle with the text-area colour.
void clearStrip();
// "Developed by Varnel" blinks until the first track is loaded.
void drawIdleText(InfoStrip& strip, bool trackLoaded);
// Counts the pass and draws the phase that is due.
void drawInfoCycle(InfoStrip& strip, const metadata::TrackTag& tag, int bitrateKbps);
// After a full cycle the counter starts again at the name.
void restartInfoCycle(InfoStrip& strip);
// True during the time phase, whose text the face draws while a track is open.
bool inTimePhase(const InfoStrip& strip);
// The time phase's text ("00:01:02/00:03:35"), on a cleared strip, in the font
// and colour the last phase left selected.
void drawTimeText(const std::string& text);

}  // namespace face
