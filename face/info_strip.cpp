// The information strip: the idle text before the first load, then the cycle of tag values and bit rate.
#include "face/info_strip.h"

#include <string>

#include "numbers/numbers.h"
#include "platform/draw.h"
#include "skin/colours.h"

namespace face {

using numbers::INFO_LABEL_FONT;
using numbers::INFO_VALUE_FONT;

namespace {

constexpr int TEXT_X = 26;
constexpr int TEXT_Y = 9;

// The idle text's own box sits two pixels left of the info area.
constexpr int IDLE_CLEAR_X = 20;
constexpr int IDLE_TEXT_X = 27;
constexpr int IDLE_TEXT_Y = 8;
constexpr const char* IDLE_TEXT = "Developed by Varnel";
constexpr int IDLE_SHOWN_BELOW = 1000;
constexpr int IDLE_CLEARED_BELOW = 1500;
constexpr int IDLE_RESTART_ABOVE = 1500;

constexpr int TIME_TEXT_X = 43;
constexpr int TIME_TEXT_Y = 9;

constexpr int TIME_PHASE_START = 7500;
constexpr int CYCLE_END = 9000;
constexpr std::size_t LABEL_SHOWN_BELOW = 16;
constexpr std::size_t VALUE_CHARACTERS = 19;

enum class Phase { Name, Artist, Album, Genre, Bitrate, None };

// A phase is due while the counter lies strictly between its bounds and the flag
// has the required value; drawing flips the flag, so each phase draws on one pass.
struct PhaseSpan {
    Phase phase;
    int after;
    int before;
    int requiredFlag;
};

constexpr PhaseSpan PHASE_TABLE[] = {
    {Phase::Name, 0, 1500, 0},
    {Phase::Artist, 1500, 3000, 1},
    {Phase::Album, 3000, 4500, 0},
    {Phase::Genre, 4500, 6000, 1},
    {Phase::Bitrate, 6000, TIME_PHASE_START, 0},
};

Phase duePhase(const InfoStrip& strip) {
    for (const PhaseSpan& span : PHASE_TABLE) {
        if (strip.infoCounter > span.after && strip.infoCounter < span.before &&
            strip.infoPhaseFlag == span.requiredFlag) {
            return span.phase;
        }
    }
    return Phase::None;
}

// Clears the info area and draws an optional label in the small font, then the value after it.
void drawPhase(const char* label, const std::string& value) {
    clearStrip();
    platform::selectFont(INFO_LABEL_FONT);
    platform::setTextPosition(TEXT_X, TEXT_Y);
    platform::setTextBackground(skin::TEXT_AREA_COLOUR);
    platform::setTextColour(skin::TEXT_COLOUR);
    if (label != nullptr) platform::drawText(label);
    platform::selectFont(INFO_VALUE_FONT);
    if (!value.empty()) platform::drawText(value.c_str());
}

// Long values drop their label so they start at the strip's left edge.
void drawTextPhase(const char* label, const std::string& value) {
    drawPhase(value.size() < LABEL_SHOWN_BELOW ? label : nullptr, value.substr(0, VALUE_CHARACTERS));
}

}  // namespace

void createInfoFonts() {
    platform::createFont(INFO_LABEL_FONT, "Arial", 7, 700);
    platform::createFont(INFO_VALUE_FONT, "Arial", 10, 700);
}

void clearStrip() { platform::fillBox(STRIP_X, STRIP_Y, STRIP_WIDTH, STRIP_HEIGHT, skin::TEXT_AREA_COLOUR); }

void drawIdleText(InfoStrip& strip, bool trackLoaded) {
    ++strip.idleCounter;
    if (!trackLoaded) {
        if (strip.idleCounter < IDLE_SHOWN_BELOW) {
            platform::setTextPosition(IDLE_TEXT_X, IDLE_TEXT_Y);
            platform::setTextColour(skin::TEXT_COLOUR);
            platform::drawText(IDLE_TEXT);
        }
        if (strip.idleCounter > IDLE_SHOWN_BELOW && strip.idleCounter < IDLE_CLEARED_BELOW) {
            platform::fillBox(IDLE_CLEAR_X, STRIP_Y, STRIP_WIDTH, STRIP_HEIGHT, skin::TEXT_AREA_COLOUR);
        }
    }
    if (strip.idleCounter > IDLE_RESTART_ABOVE) strip.idleCounter = 0;
}

void drawInfoCycle(InfoStrip& strip, const metadata::TrackTag& tag, int bitrateKbps) {
    ++strip.infoCounter;
    switch (duePhase(strip)) {
    case Phase::Name:
        drawTextPhase("Name: ", tag.trackTitle);
        break;
    case Phase::Artist:
        drawTextPhase("Artist: ", tag.trackArtist);
        break;
    case Phase::Album:
        drawTextPhase("Album: ", tag.trackAlbum);
        break;
    case Phase::Genre:
        drawPhase("Genre: ", tag.trackGenre);
        break;
    case Phase::Bitrate:
        drawPhase("Bitrate: ", std::to_string(bitrateKbps) + " kbps");
        break;
    case Phase::None:
        return;
    }
    strip.infoPhaseFlag = 1 - strip.infoPhaseFlag;
}

void restartInfoCycle(InfoStrip& strip) {
    if (strip.infoCounter > CYCLE_END) {
        strip.infoCounter = 0;
        strip.infoPhaseFlag = 0;
    }
}

bool inTimePhase(const InfoStrip& strip) {
    return strip.infoCounter > TIME_PHASE_START && strip.infoCounter < CYCLE_END && strip.infoPhaseFlag == 1;
}

void drawTimeText(const std::string& text) {
    clearStrip();
    platform::setTextBackground(skin::TEXT_AREA_COLOUR);
    platform::setTextPosition(TIME_TEXT_X, TIME_TEXT_Y);
    platform::drawText(text.c_str());
}

}  // namespace face
