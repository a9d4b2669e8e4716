// Simulated shell: web pages, message boxes, the open-file dialog and the
// files dropped on a window.
#include "platform/shell.h"
#include "platform/sim/sim_state.h"

namespace sim {

bool dropFinished(std::uintptr_t drop) {
    auto it = world().drops.find(drop);
    return it != world().drops.end() && it->second.finished;
}

int finishedDropCount() {
    int count = 0;
    for (const auto& [handle, drop] : world().drops) count += drop.finished ? 1 : 0;
    return count;
}

const std::vector<std::string>& webPagesOpened() { return world().webPages; }
const std::vector<MessageShown>& messagesShown() { return world().messages; }

void queueFileDialog(std::vector<std::string> pathsOrFolderAndNames, bool accept) {
    world().dialogAnswers.push_back({std::move(pathsOrFolderAndNames), accept});
}

const std::vector<std::string>& fileDialogFilters() { return world().dialogFilters; }
const std::vector<int>& fileDialogOwners() { return world().dialogOwners; }

}  // namespace sim

namespace platform {

using sim::world;

// A drop whose query fails yields nothing, but its handle is released all the same.
DroppedFiles takeDroppedFiles(std::uintptr_t drop) {
    const bool fails = sim::enter(sim::Call::takeDroppedFiles);
    DroppedFiles dropped;
    auto it = world().drops.find(drop);
    if (it == world().drops.end() || it->second.finished) return dropped;
    it->second.finished = true;
    if (fails) return dropped;
    dropped.point = it->second.point;
    dropped.inside = it->second.pointInside;
    dropped.paths = it->second.paths;
    return dropped;
}

void openWebPage(const char* url) {
    if (sim::enter(sim::Call::openWebPage)) return;
    world().webPages.push_back(url ? url : "");
}

// A box the system cannot make (out of memory, no desktop) never shows.
void messageBox(const char* text, const char* title) {
    if (sim::enter(sim::Call::messageBox)) return;
    sim::World& w = world();
    w.messages.push_back({text ? text : "", title ? title : ""});
    if (w.boxWatcher) w.boxWatcher(w.messages.back());
    if (w.modalWatcher) w.modalWatcher("messageBox");
}

// An answer whose entries, each ended by a NUL, and the closing NUL do not
// fit the capacity fails, as a too-small buffer makes the real dialog fail.
std::vector<std::string> openFileDialog(int owner, const char* filter, int capacity) {
    const bool fails = sim::enter(sim::Call::openFileDialog);
    sim::World& w = world();
    w.dialogFilters.push_back(filter ? filter : "");
    w.dialogOwners.push_back(owner);
    if (!fails && w.modalWatcher) w.modalWatcher("openFileDialog");
    if (w.dialogAnswers.empty()) return {};
    sim::FileDialogAnswer answer = w.dialogAnswers.front();
    w.dialogAnswers.pop_front();
    if (fails) return {};
    std::size_t needed = 1;
    for (const std::string& entry : answer.entries) needed += entry.size() + 1;
    if (!answer.accept || static_cast<int>(needed) > capacity) return {};
    return answer.entries;
}

}  // namespace platform
