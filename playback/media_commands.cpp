// Builds the media command strings byte for byte, sends them, and parses replies.
#include "playback/media_commands.h"

#include <cstring>

#include "platform/media.h"
#include "platform/media_text.h"

namespace playback {

namespace {

std::string aliasName(int alias) { return "MP3_" + std::to_string(alias); }

// Keeps the low two characters' worth of a clock field: "07", "59", "10" of 100.
std::string clockField(int value) {
    std::string text = std::to_string(value);
    if (text.size() < 2) text.insert(0, 2 - text.size(), '0');
    return text.substr(0, 2);
}

}  // namespace

int sendCommand(const std::string& command) { return platform::mediaCommand(command.c_str(), nullptr, 0); }

// The reply buffer is blank-filled so that an untouched buffer reads as 0.
int queryStatus(const std::string& command) {
    char reply[REPLY_CAPACITY + 1];
    std::memset(reply, ' ', REPLY_CAPACITY);
    reply[REPLY_CAPACITY] = '\0';
    platform::mediaCommand(command.c_str(), reply, REPLY_CAPACITY);
    reply[REPLY_CAPACITY] = '\0';
    return platform::parseReplyNumber(reply, REPLY_CAPACITY);
}

std::string formatClock(int milliseconds) {
    int s = milliseconds / 1000;
    const int seconds = s % 60;
    s /= 60;
    const int minutes = s % 60;
    const int hours = s / 60;
    return clockField(hours) + ":" + clockField(minutes) + ":" + clockField(seconds);
}

// A double quote in the path would end the quoted path early and let the rest
// of the path be read as further command words, and a wildcard names no file
// (it could open another one), so such paths are refused; so is an empty one,
// which names no file either: sent, it would only load the device's drivers
// (several megabytes, a start without files included) to be refused.
bool openTrack(int alias, const std::string& path) {
    if (path.empty() || path.find('"') != std::string::npos || platform::holdsWildcard(path)) return false;
    const std::string command = "OPEN \"" + path + "\" Type MPEGVIDEO ALIAS " + aliasName(alias);
    return sendCommand(command) == 0;
}

void playTrack(int alias) { sendCommand("play " + aliasName(alias)); }

void playTrackFrom(int alias, int positionMs) {
    sendCommand("play " + aliasName(alias) + " from " + std::to_string(positionMs));
}

void pauseTrack(int alias) { sendCommand("pause " + aliasName(alias)); }

void closeTrack(int alias) { sendCommand("close " + aliasName(alias)); }

void seekTrack(int alias, int positionMs) {
    sendCommand("Seek " + aliasName(alias) + " to " + std::to_string(positionMs));
}

void setTrackVolume(int alias, int volume) {
    sendCommand("SetAudio " + aliasName(alias) + " volume to " + std::to_string(volume));
}

int queryLength(int alias) { return queryStatus("status " + aliasName(alias) + " length"); }

int queryPosition(int alias) { return queryStatus("status " + aliasName(alias) + " position"); }

int queryVolume(int alias) { return queryStatus("status " + aliasName(alias) + " volume"); }

}  // namespace playback
