// Simulated process services, the shell, message boxes and the open-file dialog.
#include <cstring>

#include "platform/sim/sim_world.h"

namespace sim {

const std::vector<std::string>& webPagesOpened() { return world().webPages; }
const std::vector<MessageShown>& messagesShown() { return world().messages; }

void queueFileDialog(std::vector<std::string> pathsOrFolderAndNames, bool accept) {
    world().dialogAnswers.push_back({std::move(pathsOrFolderAndNames), accept});
}

const std::vector<std::string>& fileDialogFilters() { return world().dialogFilters; }

}  // namespace sim

namespace platform {

using sim::world;

void startServices() { ++world().servicesStarted; }
void stopServices() { ++world().servicesStopped; }
std::string commandLine() { return world().commandLine; }

void exitProcess(int code) { throw sim::ProcessExit{code}; }

void openWebPage(const char* url) { world().webPages.push_back(url ? url : ""); }

void messageBox(const char* text, const char* title) {
    world().messages.push_back({text ? text : "", title ? title : ""});
}

// Fills `buffer` the way the dialog does: entries each ended by a NUL, then a
// second NUL; an answer that does not fit fails like a too-small buffer.
bool openFileDialog(const char* filter, char* buffer, int capacity) {
    sim::World& w = world();
    w.dialogFilters.push_back(filter ? filter : "");
    if (w.dialogAnswers.empty()) return false;
    sim::FileDialogAnswer answer = w.dialogAnswers.front();
    w.dialogAnswers.pop_front();
    if (!answer.accept || answer.entries.empty() || !buffer) return false;
    std::string result;
    for (const std::string& entry : answer.entries) {
        result += entry;
        result.push_back('\0');
    }
    result.push_back('\0');
    if (static_cast<int>(result.size()) > capacity) return false;
    std::memcpy(buffer, result.data(), result.size());
    return true;
}

}  // namespace platform
