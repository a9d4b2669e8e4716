// Simulated process services, the shell, message boxes and the open-file dialog.
#include "platform/sim/sim_world.h"

namespace sim {

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

void startServices() {
    sim::enter(sim::Call::startServices);
    ++world().servicesStarted;
}
// Every drawing object still held is freed.
void stopServices() {
    sim::enter(sim::Call::stopServices);
    sim::World& w = world();
    ++w.servicesStopped;
    if (!w.gdiReleased) w.gdiFreed += sim::gdiObjects().held;
    w.gdiReleased = true;
}
std::string commandLine() {
    sim::enter(sim::Call::commandLine);
    return world().commandLine;
}

void exitProcess(int code) { throw sim::ProcessExit{code}; }

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
