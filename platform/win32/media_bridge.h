// Makes the Wine media device answer the player's commands the way the Windows one does.
#pragma once

#include <functional>
#include <map>
#include <string>

namespace platform::media {

// Sends one command to the real device: the media interface's own call shape.
using Device = std::function<int(const char* command, char* reply, int capacity)>;

struct AliasState {
    bool playedSinceOpen = false;
    int acceptedVolume = 1000;  // last volume the device accepted since the open
    int lastPosition = -1;      // the device's previous position reading since the last play, -1 none
    int endedAt = -1;           // the reading the device fell back to when the track ended
};

// Aliases the device has opened, by lower-case name.
struct BridgeState {
    std::map<std::string, AliasState> aliases;
    int devicesLeft = 0;  // device threads left behind: the aliases they held stay taken
};

// Passes `command` to `device`, standing in for the three answers Wine's
// device gets wrong, and for the aliases a device left behind still holds;
// returns what the caller of the device would see.
int sendThroughBridge(BridgeState& bridge, const Device& device, const char* command, char* reply, int capacity);

}  // namespace platform::media
