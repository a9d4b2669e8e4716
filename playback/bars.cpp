// The position and volume bars: seeking and volume by mouse, the end-of-track
// check with its rewind, and the per-pass polling that draws bars and time.
#include <algorithm>
#include <cmath>

#include "metadata/info_strip.h"
#include "platform/draw.h"
#include "platform/gui.h"
#include "platform/system.h"
#include "playback/media_commands.h"
#include "playback/transport.h"
#include "playlist/playlist.h"
#include "skin/colours.h"

namespace playback {

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

constexpr int TIME_TEXT_X = 43;
constexpr int TIME_TEXT_Y = 9;

void paintColumns(int origin, int columns, platform::Colour colour) {
    for (int k = 1; k <= columns; ++k) {
        for (int row = BAR_TOP_ROW; row <= BAR_BOTTOM_ROW; ++row) {
            platform::plotPixel(origin + k, row, colour);
        }
    }
}

// A drag acts only in passes whose previous poll brought an event, so a button
// held still over a bar sends nothing.
bool dragOverBar(const platform::Event& event, int left, int right) {
    const int x = platform::mouseX();
    const int y = platform::mouseY();
    return x >= left && x <= right && y >= BAR_HIT_TOP && y <= BAR_HIT_BOTTOM &&
           platform::keyPressed(VK_LEFT_BUTTON) &&
           event.lastEvent != platform::EVENT_NONE;
}

// Empties columns from `from` down to 1, three pixels each, pausing 1 ms
// before or after every pixel as the two animations do.
void rewindColumns(int from, bool pauseFirst) {
    for (int k = from; k >= 1; --k) {
        for (int row = BAR_TOP_ROW; row <= BAR_BOTTOM_ROW; ++row) {
            if (pauseFirst) platform::sleepMs(1);
            platform::plotPixel(POSITION_BAR_ORIGIN + k, row, skin::BAR_COLOUR);
            if (!pauseFirst) platform::sleepMs(1);
        }
    }
}

}  // namespace

void paintPositionColumns(int columns, platform::Colour colour) {
    paintColumns(POSITION_BAR_ORIGIN, std::clamp(columns, 0, POSITION_COLUMNS), colour);
}

void paintVolumeColumns(int columns, platform::Colour colour) {
    paintColumns(VOLUME_BAR_ORIGIN, std::clamp(columns, 0, VOLUME_COLUMNS), colour);
}

// Columns filled by the volume bar; the device may report more than 1000, and
// the bar never reaches past its last column.
int volumeColumns(int deviceVolume) {
    const float filled = std::ceil(static_cast<float>(deviceVolume) / 1000.0f *
                                   static_cast<float>(VOLUME_COLUMNS));
    return static_cast<int>(std::clamp(filled, 0.0f, static_cast<float>(VOLUME_COLUMNS)));
}

// Columns filled by the position bar. A length of 0 has no position to show,
// and a position past the length fills the bar and no more.
int positionColumns(int positionMs, int trackLengthMs) {
    if (trackLengthMs == 0) return 0;
    const double quotient = static_cast<double>(positionMs) / static_cast<double>(trackLengthMs) *
                            static_cast<double>(POSITION_COLUMNS);
    const float filled = std::ceil(static_cast<float>(quotient));
    return static_cast<int>(std::clamp(filled, 0.0f, static_cast<float>(POSITION_COLUMNS)));
}

// The target is a whole multiple of a 122nd of the length, so x 8 seeks to
// two such steps, not to 0. Seeking resumes a paused or stopped track.
void seekControl(Transport& t, const platform::Event& event) {
    if (!dragOverBar(event, SEEK_HIT_LEFT, SEEK_HIT_RIGHT)) return;
    const int step = t.trackLengthMs / POSITION_COLUMNS;
    const int target = (platform::mouseX() - POSITION_BAR_ORIGIN) * step;
    seekTrack(TRACK_ALIAS_NUMBER, target);
    t.playState = PLAY_STATE_PLAYING;
    playTrack(TRACK_ALIAS_NUMBER);
    paintPositionColumns(t.progressPixels, skin::BAR_COLOUR);
}

// The value goes to the device as it is, up to 1012 at the right end;
// savedVolume is refreshed only when the track changes.
void volumeControl(const Transport& t, const platform::Event& event) {
    if (!dragOverBar(event, VOLUME_HIT_LEFT, VOLUME_HIT_RIGHT)) return;
    setTrackVolume(TRACK_ALIAS_NUMBER, (platform::mouseX() - VOLUME_BAR_ORIGIN) * VOLUME_STEP);
    paintVolumeColumns(t.volumePixels, skin::BAR_COLOUR);
}

// A track ends when its position equals its length exactly (a failed query
// reads 0, so a track reporting 0/0 ends too). Rows removed while it played
// may leave currentIndex past the end: the move then starts over at row 0.
bool endOfTrackCheck(Transport& t, const playlist::Playlist& playlist) {
    if (t.trackOpen != 1) return false;
    t.positionMs = queryPosition(TRACK_ALIAS_NUMBER);
    if (t.positionMs != t.trackLengthMs) return false;
    t.savedVolume = queryVolume(TRACK_ALIAS_NUMBER);
    rewindColumns(POSITION_COLUMNS, false);
    closeTrack(TRACK_ALIAS_NUMBER);
    if (t.currentIndex >= playlist::rowCount()) t.currentIndex = -1;
    nextAction(t, playlist, true);
    return true;
}

// The time phase keeps its flag at 1 (it is due on every pass until the cycle
// restarts), so drawing the time changes nothing of the strip's state.
void pollPlayback(Transport& t, const metadata::InfoStrip& strip) {
    if (t.trackOpen != 1) return;

    if (metadata::inTimePhase(strip)) {
        metadata::clearStrip();
        platform::setTextBackground(skin::TEXT_AREA_COLOUR);
        platform::setTextPosition(TIME_TEXT_X, TIME_TEXT_Y);
        const std::string text =
            formatClock(queryPosition(TRACK_ALIAS_NUMBER)) + "/" + t.lengthText;
        platform::drawText(text.c_str());
    }

    t.deviceVolume = queryVolume(TRACK_ALIAS_NUMBER);
    t.volumePixels = volumeColumns(t.deviceVolume);
    paintVolumeColumns(t.volumePixels, skin::BAR_HIGHLIGHT_COLOUR);

    if (t.playState != PLAY_STATE_STOPPED) {
        platform::sleepMs(1);
        t.positionMs = queryPosition(TRACK_ALIAS_NUMBER);
        t.progressPixels = positionColumns(t.positionMs, t.trackLengthMs);
        paintPositionColumns(t.progressPixels, skin::BAR_HIGHLIGHT_COLOUR);
    } else if (t.stopRewound == 0) {
        rewindColumns(t.progressPixels, true);
        t.stopRewound = 1;
    }
}

}  // namespace playback
