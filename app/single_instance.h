// A newly started player ends an older running one.
#pragma once

#include <vector>

#include "app/player.h"
#include "platform/processes.h"

namespace app {

constexpr const char* PLAYER_EXE_NAME = "brumby.exe";
// How long a newer player waits, in all, for the older one to save.
constexpr int SAVE_REQUEST_TIMEOUT_MS = 2000;
// How long it waits for a terminated player to have ended.
constexpr int PROCESS_END_TIMEOUT_MS = 2000;

// Walks the snapshot: every exact match of the player's file name in the
// session `ownSessionId` counts; the first match other than `ownProcessId` is
// remembered, and at every second match the count goes back to 0 and the
// remembered process is terminated. Returns the entries of the terminations made.
std::vector<platform::ProcessEntry> walkSnapshot(AppState& state, const std::vector<platform::ProcessEntry>& entries,
                                                 std::uint32_t ownProcessId, std::uint32_t ownSessionId);

void endOlderInstance(AppState& state);

}  // namespace app
