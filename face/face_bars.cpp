// The bars and the time text: the transport's state as the face shows it.
#include "face/face_bars.h"

#include "numbers/numbers.h"
#include "platform/gui.h"
#include "platform/system.h"
#include "skin/bars.h"
#include "skin/colours.h"

namespace face {

namespace {

// The pointer on the bar with the left button pressed, in a pass whose previous
// poll brought an event (the pointer moving or another message arriving).
bool draggedOn(bool (*onBar)(platform::Point), const platform::Event& event, platform::Point& pointer) {
    pointer = platform::pointerIn(numbers::MAIN_WINDOW);
    return onBar(pointer) && platform::keyPressed(platform::VK_LEFT_BUTTON) && event.lastEvent != platform::EVENT_NONE;
}

}  // namespace

// The bar keeps its filled columns until the next poll fills it up to the new position.
void dragOnPositionBar(playback::Transport& t, const platform::Event& event) {
    platform::Point pointer;
    if (!draggedOn(&skin::onPositionBar, event, pointer)) return;
    playback::seekTo(t, skin::seekTargetAt(pointer.x, t.trackLengthMs));
    skin::paintPositionColumns(t.progressPixels, skin::BAR_COLOUR);
}

void dragOnVolumeBar(const playback::Transport& t, const platform::Event& event) {
    platform::Point pointer;
    if (!draggedOn(&skin::onVolumeBar, event, pointer)) return;
    playback::setVolume(skin::volumeAt(pointer.x));
    skin::paintVolumeColumns(t.volumePixels, skin::BAR_COLOUR);
}

// The rewind empties the bar pixel by pixel, 1 ms each, before the track closes.
bool moveOnAtTrackEnd(playback::Transport& t, const playlist::Playlist& playlist) {
    if (!t.trackOpen || !playback::reachedEnd(t)) return false;
    playback::keepVolume(t);
    skin::emptyPositionBarSlowly(skin::POSITION_COLUMNS, skin::Pause::AfterEachPixel);
    playback::moveOnFromEndedTrack(t, playlist);
    return true;
}

// The time phase keeps its flag at 1 (it is due on every pass until the cycle
// restarts), so drawing the time changes nothing of the strip's state.
void showPlayback(playback::Transport& t, const InfoStrip& strip) {
    if (!t.trackOpen) return;
    if (inTimePhase(strip)) {
        drawTimeText(playback::timeText(t));
    }
    playback::readVolume(t);
    t.volumePixels = skin::volumeColumns(t.deviceVolume);
    skin::paintVolumeColumns(t.volumePixels, skin::BAR_HIGHLIGHT_COLOUR);
    if (t.playState != playback::PLAY_STATE_STOPPED) {
        platform::sleepMs(1);
        playback::readPosition(t);
        t.progressPixels = skin::positionColumns(t.positionMs, t.trackLengthMs);
        skin::paintPositionColumns(t.progressPixels, skin::BAR_HIGHLIGHT_COLOUR);
    } else if (!t.stopRewound) {
        skin::emptyPositionBarSlowly(t.progressPixels, skin::Pause::BeforeEachPixel);
        t.stopRewound = true;
    }
}

void emptyPositionBar() { skin::paintPositionColumns(skin::POSITION_COLUMNS, skin::BAR_COLOUR); }

}  // namespace face
