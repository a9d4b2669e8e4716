// The text-command layer over the media control interface: every track is
// opened and driven by command strings; replies are turned into numbers.
// Only playback/ sends them: the rest of the player goes through the transport.
#pragma once

#include <string>

namespace playback {

constexpr int TRACK_ALIAS_NUMBER = 1;
constexpr int REPLY_CAPACITY = 260;

int sendCommand(const std::string& command);
int queryStatus(const std::string& command);
std::string formatClock(int milliseconds);

bool openTrack(int alias, const std::string& path);
void playTrack(int alias);
void playTrackFrom(int alias, int positionMs);
void pauseTrack(int alias);
void closeTrack(int alias);
void seekTrack(int alias, int positionMs);
void setTrackVolume(int alias, int volume);
int queryLength(int alias);
int queryPosition(int alias);
int queryVolume(int alias);

}  // namespace playback
