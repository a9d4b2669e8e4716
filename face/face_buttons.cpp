// The face's buttons: hover from the skin, actions from the transport, the
// playlist and the loop's own flags.
#include "face/face_buttons.h"

#include "numbers/numbers.h"
#include "platform/gui.h"
#include "playlist/adding.h"

namespace face {

namespace {

platform::Point pointerOnFace() { return platform::pointerIn(numbers::MAIN_WINDOW); }

bool leftClickPolled(const platform::Event& event) { return event.eventType == platform::EVENT_LEFT_CLICK; }

// True for a left click polled in the previous pass on a button the pointer is on.
bool clicked(skin::Skin& face, skin::Button button, const platform::Event& event) {
    return skin::hoverStep(face, button, pointerOnFace(), false) && leftClickPolled(event);
}

}  // namespace

// The only normal end: the rest of the pass still runs, then the loop leaves.
bool pressCloseButton(int& quitFlag, skin::Skin& face, const platform::Event& event) {
    if (!clicked(face, skin::CLOSE, event)) return false;
    quitFlag = 1;
    return true;
}

// The face is minimised whichever player window is in front; the playlist
// window, owned by it, goes with it.
void pressMinimiseButton(LoopState& loop, skin::Skin& face) {
    if (!clicked(face, skin::MINIMISE, loop.event)) return;
    loop.playlistVisible = false;
    platform::minimiseWindow(numbers::MAIN_WINDOW);
}

// Each button arms by hover or its media key and fires on a click or the key;
// the latch makes one key press act once however long it is held. Play runs
// before Pause and sets the latch, so the play/pause key toggles.
bool pressTransportButtons(playback::Transport& t, skin::Skin& face, const input::KeyScan& keys,
                           const playlist::Playlist& playlist, const platform::Event& event) {
    const platform::Point pointer = pointerOnFace();
    const bool click = leftClickPolled(event);
    const bool previousKey = input::pressed(keys, input::VK_PREVIOUS_KEY);
    if (skin::hoverStep(face, skin::PREVIOUS, pointer, previousKey && !t.mediaKeyLatch) && (click || previousKey)) {
        playback::previousTrack(t, playlist);
        return true;
    }

    const bool playPauseKey = input::pressed(keys, input::VK_PLAY_PAUSE_KEY);
    const bool stopKey = input::pressed(keys, input::VK_STOP_KEY);
    const bool nextKey = input::pressed(keys, input::VK_NEXT_KEY);
    if (!playPauseKey && !stopKey && !previousKey && !nextKey) playback::releaseMediaKeyLatch(t);

    if (skin::hoverStep(face, skin::PLAY, pointer,
                        playPauseKey && !t.mediaKeyLatch && t.playState != playback::PLAY_STATE_PLAYING) &&
        (click || (playPauseKey && !t.mediaKeyLatch))) {
        playback::play(t);
    }
    if (skin::hoverStep(face, skin::PAUSE, pointer, playPauseKey && t.playState != playback::PLAY_STATE_PAUSED) &&
        (click || (playPauseKey && !t.mediaKeyLatch))) {
        playback::pause(t);
    }
    if (skin::hoverStep(face, skin::STOP, pointer, stopKey && !t.mediaKeyLatch) && (click || stopKey)) {
        playback::stop(t);
    }
    if (skin::hoverStep(face, skin::NEXT, pointer, nextKey && !t.mediaKeyLatch) && (click || nextKey)) {
        playback::nextTrack(t, playlist, false);
        return true;
    }
    return false;
}

bool pressPlaylistButton(LoopState& loop, skin::Skin& face, playlist::Playlist& playlist,
                         playback::Transport& transport) {
    if (!clicked(face, skin::PLAYLIST, loop.event)) return false;
    loop.playlistVisible = !loop.playlistVisible;
    if (playlist::rowCount(playlist) != 0 || transport.trackOpen) return false;
    return playlist::addFilesByDialog(playlist, transport.currentPath);
}

}  // namespace face
