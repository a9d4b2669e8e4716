// Transport control: the five buttons and media keys, the position and volume
// bars, the load step, end of track, and the drawing of bars and time.
#pragma once

#include <string>

#include "metadata/info_strip.h"
#include "metadata/track_tag.h"
#include "platform/draw.h"
#include "platform/gui.h"
#include "playlist/playlist.h"
#include "skin/key_scan.h"
#include "skin/skin.h"

namespace playback {

// Media-key virtual-key codes.
constexpr int VK_NEXT_KEY = 0xB0;
constexpr int VK_PREVIOUS_KEY = 0xB1;
constexpr int VK_STOP_KEY = 0xB2;
constexpr int VK_PLAY_PAUSE_KEY = 0xB3;
using platform::VK_LEFT_BUTTON;

constexpr int POSITION_COLUMNS = 122;
constexpr int VOLUME_COLUMNS = 46;

constexpr int PLAY_STATE_NONE = 0;
constexpr int PLAY_STATE_PLAYING = 1;
constexpr int PLAY_STATE_PAUSED = 2;
constexpr int PLAY_STATE_STOPPED = 3;

struct Transport {
    int playState = PLAY_STATE_NONE;
    int trackOpen = 0;
    int trackLoaded = 0;
    std::string currentPath;
    int currentIndex = 0;
    int savedVolume = 0;
    int trackLengthMs = 0;
    int trackLengthSeconds = 0;
    int bitrateKbps = 0;
    int positionMs = 0;
    int progressPixels = 0;
    int deviceVolume = 0;
    int volumePixels = 0;
    int mediaKeyLatch = 0;
    int stopRewound = 0;
    int movedByPrevious = 0;
    int movedByNext = 0;
    std::string lengthText;
};

// Loop stage 7: previous, latch release, play, pause, stop, next, with the
// media keys as the pass's key scan read them. Returns true when an action
// changed the track and the pass continues into loadTrack.
bool transportButtons(Transport& transport, skin::Skin& face, const skin::KeyScan& keys,
                      const playlist::Playlist& playlist, const platform::Event& event);
// Loop stage 10: a double click on a playlist row. True when it continues into loadTrack.
bool playSelectedRow(Transport& transport, const playlist::Playlist& playlist,
                     const platform::Event& event);
// Loop stage 12: reads the tag, relabels the row, opens and starts currentPath.
void loadTrack(Transport& transport, metadata::TrackTag& tag);
// Loop stage 13, in this order; endOfTrackCheck returns true when it moved on
// to the next row and the pass continues into loadTrack.
void seekControl(Transport& transport, const platform::Event& event);
bool endOfTrackCheck(Transport& transport, const playlist::Playlist& playlist);
void volumeControl(const Transport& transport, const platform::Event& event);
// Loop stage 15: time text (in the strip's time phase), volume bar, position
// bar and stop animation.
void pollPlayback(Transport& transport, const metadata::InfoStrip& strip);
// Loop stage 21.
void refreshLengthText(Transport& transport);

// The Next action, also entered by the end of a track, which has saved the
// volume and closed the track already (`volumeSaved`).
void nextAction(Transport& transport, const playlist::Playlist& playlist, bool volumeSaved);

// The bit-rate estimate in kbps from a file size and a length in seconds.
int estimateBitrate(long long fileSizeBytes, int lengthSeconds);

// How many bar columns a volume (0..1000) or a position of a length fills.
int volumeColumns(int deviceVolume);
int positionColumns(int positionMs, int trackLengthMs);
// Paints columns 1..`columns` of a bar, three pixels each, in `colour`.
void paintPositionColumns(int columns, platform::Colour colour);
void paintVolumeColumns(int columns, platform::Colour colour);

}  // namespace playback
