// Transport control's core: the state of the current track and what the
// player does to it (previous, play, pause, stop, next, a chosen row, the load
// step's device commands, seeking, volume, the end of a track), all through
// the media command layer. How the face shows it lies above.
#pragma once

#include <string>

#include "playlist/playlist.h"

namespace playback {

constexpr int PLAY_STATE_NONE = 0;
constexpr int PLAY_STATE_PLAYING = 1;
constexpr int PLAY_STATE_PAUSED = 2;
constexpr int PLAY_STATE_STOPPED = 3;

struct Transport {
    int playState = PLAY_STATE_NONE;
    bool trackOpen = false;
    bool trackLoaded = false;
    std::string currentPath;
    int currentIndex = 0;
    int savedVolume = 0;
    int trackLengthMs = 0;
    int trackLengthSeconds = 0;
    int bitrateKbps = 0;
    int positionMs = 0;
    int progressPixels = 0;  // filled columns of the position bar
    int deviceVolume = 0;
    int volumePixels = 0;  // filled columns of the volume bar
    bool mediaKeyLatch = false;
    bool stopRewound = false;
    bool movedByPrevious = false;
    bool movedByNext = false;
    std::string lengthText;
};

// The actions of the transport buttons and media keys. Each sets the media-key
// latch, so that one press of a key acts once however long it is held. The
// two that change the track leave it closed and `currentPath` set for the load step.
void previousTrack(Transport& transport, const playlist::Playlist& playlist);
void play(Transport& transport);
void pause(Transport& transport);
void stop(Transport& transport);
// Also entered by the end of a track, which has saved the volume and closed
// the track already (`volumeSaved`).
void nextTrack(Transport& transport, const playlist::Playlist& playlist, bool volumeSaved);
// Re-arms the media keys once none of the four is pressed.
void releaseMediaKeyLatch(Transport& transport);

// A row chosen in the list (a double click): its track is next to load.
void chooseRow(Transport& transport, const playlist::Playlist& playlist, int row);

// The load step's device part: the old track closed, `currentPath` opened,
// its length and bit rate read, playback started at the saved volume. False
// when the track could not be opened: nothing else changes.
bool openCurrentTrack(Transport& transport);

// Reads the position; true when it equals the length exactly (a failed query
// reads 0, so a track reporting 0/0 ends too).
bool reachedEnd(Transport& transport);
// An ended track: the volume kept for the next one.
void keepVolume(Transport& transport);
// An ended track: closed, and the playlist moves on to the next row (row 0
// when rows removed while it played left `currentIndex` past the end).
void moveOnFromEndedTrack(Transport& transport, const playlist::Playlist& playlist);

// Seeking resumes a paused or stopped track.
void seekTo(Transport& transport, int targetMs);
// The value goes to the device as it is; `savedVolume` is refreshed only when the track changes.
void setVolume(int volume);

// What the device says now: the volume into `deviceVolume`, the position into `positionMs`.
void readVolume(Transport& transport);
void readPosition(Transport& transport);
void refreshLengthText(Transport& transport);
// The time text, "position/length", with the position asked of the device
// afresh; the bars' position is left as it was.
std::string timeText(const Transport& transport);

// The ends of the run: the device's track closed, the transport left as it was.
void closeDevice();

// The bit-rate estimate in kbps from a file size and a length in seconds.
int estimateBitrate(long long fileSizeBytes, int lengthSeconds);

}  // namespace playback
