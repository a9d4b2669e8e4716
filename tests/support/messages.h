// What the scenario tests give and look for over the simulated services: the
// raw mouse messages a pointer's moves and presses bring, and the media
// commands the player sent.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/sim.h"

namespace support {

constexpr int WM_MOUSEMOVE = 0x200;
constexpr int WM_LBUTTONDOWN = 0x201;
constexpr int WM_LBUTTONUP = 0x202;

// Whether `command` is among the commands of `log`, by default all sent so far.
inline bool sent(const std::vector<std::string>& log, const std::string& command) {
    return std::find(log.begin(), log.end(), command) != log.end();
}
inline bool sent(const std::string& command) { return sent(sim::mediaLog(), command); }

}  // namespace support
