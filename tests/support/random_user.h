// A random user of the player over the simulated services. From a seed it
// does, pass after pass, what a user can do to both windows, in sessions that
// each end by the close button or by the end of the system's session, and
// after every pass it checks what must always hold.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace support {

struct RandomUserRun {
    std::uint64_t seed = 0;
    long passes = 0;
    long actions = 0;
    int sessions = 0;
    int tracksOpened = 0;
    int saves = 0;
    int peakDrawingObjects = 0;
    std::string failure;                   // the first check that did not hold; empty when all held
    std::vector<std::string> lastActions;  // the latest actions before it, oldest first
};

// Runs `passes` passes of random use from `seed`; the simulated machine's
// files live below `root`.
RandomUserRun runRandomUser(std::uint64_t seed, long passes, const std::string& root);

}  // namespace support
