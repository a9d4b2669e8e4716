// The information strip: the idle text and the cycle of tag values, bit rate and time.
#pragma once

#include "metadata/track_tag.h"

namespace metadata {

// The strip's rectangle on the face: the text area every phase clears.
constexpr int STRIP_X = 22;
constexpr int STRIP_Y = 7;
constexpr int STRIP_WIDTH = 154;
constexpr int STRIP_HEIGHT = 18;

constexpr int INFO_LABEL_FONT = 1;  // "Arial" 7 pt bold
constexpr int INFO_VALUE_FONT = 2;  // "Arial" 10 pt bold

struct InfoStrip {
    int infoCounter = 0;
    int infoPhaseFlag = 0;
    int idleCounter = 0;
};

void createInfoFonts();
// Fills the strip's rectangle with the text-area colour.
void clearStrip();
// Loop stage 2: "Developed by Varnel" blinks until the first track is loaded.
void drawIdleText(InfoStrip& strip, int trackLoaded);
// Loop stage 18: counts the pass and draws the phase that is due.
void drawInfoCycle(InfoStrip& strip, const TrackTag& tag, int bitrateKbps);
// Loop stage 20.
void restartInfoCycle(InfoStrip& strip);
// True during the time phase, which transport control draws.
bool inTimePhase(const InfoStrip& strip);

}  // namespace metadata
