// The transport's actions on the current track, through the media command layer.
#include "playback/transport.h"

#include <climits>
#include <cstdint>

#include "platform/files.h"
#include "playback/media_commands.h"

namespace playback {

// There is no wrap at row 0: Previous on the first row reloads it.
void previousTrack(Transport& t, const playlist::Playlist& playlist) {
    t.mediaKeyLatch = true;
    t.savedVolume = queryVolume(TRACK_ALIAS_NUMBER);
    if (t.currentIndex > 0) --t.currentIndex;
    t.currentPath = playlist::rowPath(playlist, t.currentIndex);
    closeTrack(TRACK_ALIAS_NUMBER);
    t.movedByPrevious = true;
}

// A stopped track restarts from its beginning; a paused one resumes.
void play(Transport& t) {
    t.mediaKeyLatch = true;
    t.stopRewound = false;
    if (t.playState == PLAY_STATE_STOPPED) {
        playTrackFrom(TRACK_ALIAS_NUMBER, 0);
    } else {
        playTrack(TRACK_ALIAS_NUMBER);
    }
    t.playState = PLAY_STATE_PLAYING;
}

void pause(Transport& t) {
    t.mediaKeyLatch = true;
    pauseTrack(TRACK_ALIAS_NUMBER);
    t.playState = PLAY_STATE_PAUSED;
}

// Stop only pauses the device; the next Play starts from 0.
void stop(Transport& t) {
    t.mediaKeyLatch = true;
    t.playState = PLAY_STATE_STOPPED;
    pauseTrack(TRACK_ALIAS_NUMBER);
}

// Next saves the volume while the track is still open, so that the next row
// starts at the volume the user had, as after every other move; the end of a
// track has saved it already and closed the device, whose answer would now be 0.
void nextTrack(Transport& t, const playlist::Playlist& playlist, bool volumeSaved) {
    t.mediaKeyLatch = true;
    if (!volumeSaved) t.savedVolume = queryVolume(TRACK_ALIAS_NUMBER);
    if (t.currentIndex + 1 < playlist::rowCountOrFilledSlots(playlist)) {
        ++t.currentIndex;
    } else {
        t.currentIndex = 0;
    }
    t.currentPath = playlist::rowPath(playlist, t.currentIndex);
    closeTrack(TRACK_ALIAS_NUMBER);
    t.movedByNext = true;
}

void releaseMediaKeyLatch(Transport& t) { t.mediaKeyLatch = false; }

void chooseRow(Transport& t, const playlist::Playlist& playlist, int row) {
    t.currentPath = playlist::rowPath(playlist, row);
    t.savedVolume = queryVolume(TRACK_ALIAS_NUMBER);
    closeTrack(TRACK_ALIAS_NUMBER);
    t.currentIndex = row;
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

// A track that cannot be opened leaves the play state alone. A path that names
// no file (one gone since it was added, or a folder) is refused without a
// command to the device, which could only refuse it too: under Wine the device
// keeps a thread, four handles and a megabyte of every such refusal for the
// rest of the run.
bool openCurrentTrack(Transport& t) {
    if (t.trackOpen) {
        closeTrack(TRACK_ALIAS_NUMBER);
        t.trackOpen = false;
    }
    const std::int64_t size = platform::fileSize(t.currentPath);
    if (size < 0 || platform::isFolder(t.currentPath)) return false;
    if (!openTrack(TRACK_ALIAS_NUMBER, t.currentPath)) return false;
    t.trackLengthSeconds = queryLength(TRACK_ALIAS_NUMBER) / 1000;
    t.bitrateKbps = estimateBitrate(size, t.trackLengthSeconds);
    t.trackLoaded = true;
    t.trackOpen = true;
    playTrack(TRACK_ALIAS_NUMBER);
    if (t.savedVolume != 0) setTrackVolume(TRACK_ALIAS_NUMBER, t.savedVolume);
    t.trackLengthMs = queryLength(TRACK_ALIAS_NUMBER);
    return true;
}

bool reachedEnd(Transport& t) {
    t.positionMs = queryPosition(TRACK_ALIAS_NUMBER);
    return t.positionMs == t.trackLengthMs;
}

void keepVolume(Transport& t) { t.savedVolume = queryVolume(TRACK_ALIAS_NUMBER); }

void moveOnFromEndedTrack(Transport& t, const playlist::Playlist& playlist) {
    closeTrack(TRACK_ALIAS_NUMBER);
    if (t.currentIndex >= playlist::rowCountOrFilledSlots(playlist)) t.currentIndex = -1;
    nextTrack(t, playlist, true);
}

void seekTo(Transport& t, int targetMs) {
    seekTrack(TRACK_ALIAS_NUMBER, targetMs);
    t.playState = PLAY_STATE_PLAYING;
    playTrack(TRACK_ALIAS_NUMBER);
}

void setVolume(int volume) { setTrackVolume(TRACK_ALIAS_NUMBER, volume); }

void readVolume(Transport& t) { t.deviceVolume = queryVolume(TRACK_ALIAS_NUMBER); }

void readPosition(Transport& t) { t.positionMs = queryPosition(TRACK_ALIAS_NUMBER); }

void refreshLengthText(Transport& transport) { transport.lengthText = formatClock(transport.trackLengthMs); }

std::string timeText(const Transport& transport) {
    return formatClock(queryPosition(TRACK_ALIAS_NUMBER)) + "/" + transport.lengthText;
}

void closeDevice() { closeTrack(TRACK_ALIAS_NUMBER); }

}  // namespace playback
