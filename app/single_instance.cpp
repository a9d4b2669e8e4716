// The single-instance check: the older player of this session, listed first, is terminated.
#include "app/single_instance.h"

namespace app {

// The own process is never remembered, so a snapshot that lists the new player
// before the older one still ends the older one. Another user's player (or
// this user's in another logon session) is none of this one's business: it
// cannot be asked to save from here, and ending it would lose that user's work.
std::vector<platform::ProcessEntry> walkSnapshot(AppState& state, const std::vector<platform::ProcessEntry>& entries,
                                                 std::uint32_t ownProcessId, std::uint32_t ownSessionId) {
    std::vector<platform::ProcessEntry> terminations;
    const platform::ProcessEntry* remembered = nullptr;
    for (const platform::ProcessEntry& entry : entries) {
        if (entry.exeFile != PLAYER_EXE_NAME) continue;
        if (ownSessionId == platform::UNKNOWN_SESSION || entry.sessionId != ownSessionId) continue;
        if (remembered == nullptr && entry.processId != ownProcessId) {
            remembered = &entry;
            state.rememberedProcessId = entry.processId;
        }
        ++state.matchedInstanceCount;
        if (state.matchedInstanceCount == 2) {
            state.matchedInstanceCount = 0;
            if (remembered != nullptr) terminations.push_back(*remembered);
        }
    }
    return terminations;
}

// The older player is opened once, from its snapshot entry, and everything
// after goes through that handle: should it have ended since the snapshot and
// its ID gone to another program, that program is never asked nor ended. It is
// asked to save its playlist first, so that the rows it gained or lost since
// it started survive it; one that does not answer within the time limit is
// ended all the same. Its end is waited for, so that it has let go of its
// files and the media device before this player goes on.
void endOlderInstance(AppState& state) {
    bool taken = false;
    const std::vector<platform::ProcessEntry> entries = platform::processSnapshot(taken);
    if (!taken) return;
    for (const platform::ProcessEntry& older :
         walkSnapshot(state, entries, platform::ownProcessId(), platform::ownSessionId())) {
        const int process = platform::openProcess(older);
        if (process == -1) continue;
        platform::requestSaveFrom(process, SAVE_REQUEST_TIMEOUT_MS);
        if (platform::terminateProcess(process)) platform::waitForProcessEnd(process, PROCESS_END_TIMEOUT_MS);
        platform::closeProcess(process);
    }
}

}  // namespace app
