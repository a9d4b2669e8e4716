// The single-instance check: the older player, listed first, is terminated.
#include "app/single_instance.h"

namespace app {

// The own process is never remembered, so a snapshot that lists the new player
// before the older one still ends the older one.
std::vector<std::uint32_t> walkSnapshot(AppState& state, const std::vector<platform::ProcessEntry>& entries,
                                        std::uint32_t ownProcessId) {
    std::vector<std::uint32_t> terminations;
    for (const platform::ProcessEntry& entry : entries) {
        if (entry.exeFile != PLAYER_EXE_NAME) continue;
        if (state.rememberedProcessId == 0 && entry.processId != ownProcessId) {
            state.rememberedProcessId = entry.processId;
        }
        ++state.matchedInstanceCount;
        if (state.matchedInstanceCount == 2) {
            state.matchedInstanceCount = 0;
            if (state.rememberedProcessId != 0) terminations.push_back(state.rememberedProcessId);
        }
    }
    return terminations;
}

// The older player is asked to save its playlist first, so that the rows it
// gained or lost since it started survive it; one that does not answer within
// the time limit is ended all the same.
void endOlderInstance(AppState& state) {
    bool taken = false;
    const std::vector<platform::ProcessEntry> entries = platform::processSnapshot(taken);
    if (!taken) return;
    for (std::uint32_t processId : walkSnapshot(state, entries, platform::ownProcessId())) {
        platform::requestSaveFrom(processId, SAVE_REQUEST_TIMEOUT_MS);
        platform::terminateProcess(processId);
    }
}

}  // namespace app
