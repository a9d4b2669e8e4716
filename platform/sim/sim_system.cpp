// Simulated process services: start and stop, the command line, the exit,
// the pause and the libraries.
#include "platform/sim/sim_state.h"
#include "platform/system.h"

namespace sim {

const std::vector<LibraryLoad>& loadedLibraries() { return world().libraryLoads; }

void registerLibraryFunction(const std::string& name, std::function<int()> function) {
    world().libraryFunctions[name] = std::move(function);
}

const std::vector<LibraryCall>& libraryCalls() { return world().libraryCalls; }

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

bool loadLibrary(int library, const std::string& path) {
    const bool fails = sim::enter(sim::Call::loadLibrary);
    bool loaded = !fails && sim::fileExists(path);
    if (loaded) world().libraries[library] = path;
    world().libraryLoads.push_back({library, path, loaded});
    return loaded;
}

bool callLibraryFunction(int library, const char* name) {
    if (sim::enter(sim::Call::callLibraryFunction)) return false;
    sim::World& w = world();
    std::string function = name ? name : "";
    w.libraryCalls.push_back({library, function});
    if (!w.libraries.count(library)) return false;
    auto it = w.libraryFunctions.find(function);
    if (it == w.libraryFunctions.end() || !it->second) return false;
    if (w.modalWatcher) w.modalWatcher("callLibraryFunction");
    it->second();
    return true;
}

void sleepMs(int milliseconds) {
    sim::enter(sim::Call::sleepMs);
    sim::World& w = sim::world();
    ++w.sleepCalls;
    if (milliseconds > 0) w.clock += milliseconds;
}

}  // namespace platform
