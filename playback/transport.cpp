// The five transport buttons and their media keys, the playlist double click,
// and the load step that opens and starts the current track.
#include "playback/transport.h"

#include <climits>
#include <cstddef>

#include "metadata/track_tag.h"
#include "platform/gui.h"
#include "platform/system.h"
#include "playback/media_commands.h"
#include "playlist/playlist.h"
#include "skin/colours.h"
#include "skin/skin.h"

namespace playback {

namespace {

bool leftClickPolled(const platform::Event& event) {
    return event.eventType == platform::EVENT_LEFT_CLICK;
}

bool pressed(const skin::KeyScan& keys, int code) { return keys.pressed[static_cast<std::size_t>(code)]; }

void releaseMediaKeyLatch(Transport& transport, const skin::KeyScan& keys) {
    if (!pressed(keys, VK_PLAY_PAUSE_KEY) && !pressed(keys, VK_STOP_KEY) && !pressed(keys, VK_PREVIOUS_KEY) &&
        !pressed(keys, VK_NEXT_KEY)) {
        transport.mediaKeyLatch = 0;
    }
}

// There is no wrap at row 0: Previous on the first row reloads it.
void previousAction(Transport& t, const playlist::Playlist& playlist) {
    t.mediaKeyLatch = 1;
    t.savedVolume = queryVolume(TRACK_ALIAS_NUMBER);
    if (t.currentIndex > 0) --t.currentIndex;
    t.currentPath = playlist::rowPath(playlist, t.currentIndex);
    closeTrack(TRACK_ALIAS_NUMBER);
    t.movedByPrevious = 1;
}

// A stopped track restarts from its beginning; a paused one resumes.
void playAction(Transport& t) {
    t.mediaKeyLatch = 1;
    t.stopRewound = 0;
    if (t.playState == PLAY_STATE_STOPPED) {
        playTrackFrom(TRACK_ALIAS_NUMBER, 0);
    } else {
        playTrack(TRACK_ALIAS_NUMBER);
    }
    t.playState = PLAY_STATE_PLAYING;
}

void pauseAction(Transport& t) {
    t.mediaKeyLatch = 1;
    pauseTrack(TRACK_ALIAS_NUMBER);
    t.playState = PLAY_STATE_PAUSED;
}

// Stop only pauses the device; the position bar rewinds in pollPlayback and
// the next Play starts from 0.
void stopAction(Transport& t) {
    t.mediaKeyLatch = 1;
    t.playState = PLAY_STATE_STOPPED;
    pauseTrack(TRACK_ALIAS_NUMBER);
}

}  // namespace

// Next saves the volume while the track is still open, so that the next row
// starts at the volume the user had, as after every other move; the end of a
// track has saved it already and closed the device, whose answer would now be 0.
void nextAction(Transport& t, const playlist::Playlist& playlist, bool volumeSaved) {
    t.mediaKeyLatch = 1;
    if (!volumeSaved) t.savedVolume = queryVolume(TRACK_ALIAS_NUMBER);
    if (t.currentIndex + 1 < playlist::rowCount()) {
        ++t.currentIndex;
    } else {
        t.currentIndex = 0;
    }
    t.currentPath = playlist::rowPath(playlist, t.currentIndex);
    closeTrack(TRACK_ALIAS_NUMBER);
    t.movedByNext = 1;
}

// Each button arms by hover or its media key and fires on a click or the key;
// the latch makes one key press act once however long it is held. Play runs
// before Pause and sets the latch, so the play/pause key toggles.
bool transportButtons(Transport& t, skin::Skin& face, const skin::KeyScan& keys,
                      const playlist::Playlist& playlist, const platform::Event& event) {
    const bool previousKey = pressed(keys, VK_PREVIOUS_KEY);
    if (skin::hoverStep(face, skin::PREVIOUS, previousKey && t.mediaKeyLatch == 0) &&
        (leftClickPolled(event) || previousKey)) {
        previousAction(t, playlist);
        return true;
    }

    releaseMediaKeyLatch(t, keys);

    const bool playPauseKey = pressed(keys, VK_PLAY_PAUSE_KEY);
    if (skin::hoverStep(face, skin::PLAY,
                        playPauseKey && t.mediaKeyLatch == 0 && t.playState != PLAY_STATE_PLAYING) &&
        (leftClickPolled(event) || (playPauseKey && t.mediaKeyLatch == 0))) {
        playAction(t);
    }

    if (skin::hoverStep(face, skin::PAUSE, playPauseKey && t.playState != PLAY_STATE_PAUSED) &&
        (leftClickPolled(event) || (playPauseKey && t.mediaKeyLatch == 0))) {
        pauseAction(t);
    }

    const bool stopKey = pressed(keys, VK_STOP_KEY);
    if (skin::hoverStep(face, skin::STOP, stopKey && t.mediaKeyLatch == 0) &&
        (leftClickPolled(event) || stopKey)) {
        stopAction(t);
    }

    const bool nextKey = pressed(keys, VK_NEXT_KEY);
    if (skin::hoverStep(face, skin::NEXT, nextKey && t.mediaKeyLatch == 0) &&
        (leftClickPolled(event) || nextKey)) {
        nextAction(t, playlist, false);
        return true;
    }
    return false;
}

bool playSelectedRow(Transport& t, const playlist::Playlist& playlist,
                     const platform::Event& event) {    if (event.eventSource != playlist::PLAYLIST_LIST ||
        event.eventType != platform::EVENT_LEFT_DOUBLE_CLICK) {
        return false;
    }
    const int selected = playlist::selectedRow();
    if (selected == -1) return false;
    t.currentPath = playlist::rowPath(playlist, selected);
    t.savedVolume = queryVolume(TRACK_ALIAS_NUMBER);
    closeTrack(TRACK_ALIAS_NUMBER);
    t.currentIndex = selected;
    return true;
}

// A zero length has no bit rate; the size is taken whole and multiplied in
// 64 bits so that files of 256 MiB and more still give a true figure.
int estimateBitrate(long long fileSizeBytes, int lengthSeconds) {
    if (lengthSeconds == 0 || fileSizeBytes <= 0) return 0;
    const long long kbps = (fileSizeBytes * 8 / 1000) / lengthSeconds;
    if (kbps > INT_MAX) return INT_MAX;
    if (kbps < INT_MIN) return INT_MIN;
    return static_cast<int>(kbps);
}

// The tag is read and the row relabelled while the tag file is still open;
// every load uses up the moved-by flags. A track that cannot be opened leaves
// the bars and the play state alone.
void loadTrack(Transport& t, metadata::TrackTag& tag) {
    const int tagFile = metadata::readTrackTag(tag, t.currentPath);
    if (tagFile != metadata::TAG_NOT_READ) {
        const bool chosenByNumber = t.movedByPrevious == 1 || t.movedByNext == 1;
        playlist::relabelLoadedRow(tag.tagMissing == 0, tag.trackArtist, tag.trackTitle,
                                   t.currentPath, t.currentIndex, chosenByNumber);
        metadata::finishTagRead(tagFile);
    }
    // Cleared on every load, also one that read no tag, so that a move onto a
    // missing file cannot make a later load relabel the row it had chosen.
    t.movedByPrevious = 0;
    t.movedByNext = 0;

    if (t.trackOpen == 1) {
        closeTrack(TRACK_ALIAS_NUMBER);
        t.trackOpen = 0;
    }
    if (!openTrack(TRACK_ALIAS_NUMBER, t.currentPath)) return;
    t.trackLengthSeconds = queryLength(TRACK_ALIAS_NUMBER) / 1000;
    t.bitrateKbps = estimateBitrate(platform::fileSize(t.currentPath), t.trackLengthSeconds);
    t.trackLoaded = 1;
    t.trackOpen = 1;
    playTrack(TRACK_ALIAS_NUMBER);
    if (t.savedVolume != 0) setTrackVolume(TRACK_ALIAS_NUMBER, t.savedVolume);
    t.trackLengthMs = queryLength(TRACK_ALIAS_NUMBER);
    paintPositionColumns(POSITION_COLUMNS, skin::BAR_COLOUR);
}

void refreshLengthText(Transport& transport) {
    transport.lengthText = formatClock(transport.trackLengthMs);
}

}  // namespace playback
