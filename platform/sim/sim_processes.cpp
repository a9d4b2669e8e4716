// Simulated other processes: the snapshot with each process's session, and
// process handles that stand for the process that held an ID when it was
// opened, so that one started later under the same ID is never reached.
#include <algorithm>

#include "platform/sim/sim_state.h"

namespace sim {

void setOwnSessionId(std::uint32_t sessionId) { world().ownSessionId = sessionId; }

void takeIdAfterSnapshot(std::uint32_t processId, const std::string& exeFile) {
    world().idsTakenAfterSnapshot[processId] = exeFile;
}

const std::vector<std::uint32_t>& processesOpened() { return world().processesOpened; }

void answerSaveRequests(std::uint32_t processId, SaveAnswer answer, const std::string& windowsPath,
                        const std::string& bytes) {
    world().olderPlayers[processId] = {answer, windowsPath, bytes};
}

int openProcessCount() { return static_cast<int>(world().processHandles.size()); }

namespace {

std::uint64_t startOf(std::uint32_t processId) {
    const auto found = world().processStarted.find(processId);
    return found == world().processStarted.end() ? 0 : found->second;
}

std::vector<platform::ProcessEntry>::iterator running(std::uint32_t processId) {
    auto& list = world().processes;
    return std::find_if(list.begin(), list.end(),
                        [processId](const platform::ProcessEntry& entry) { return entry.processId == processId; });
}

// The running process a handle stands for, or nullptr once it has ended.
platform::ProcessEntry* behind(int process) {
    World& w = world();
    const auto handle = w.processHandles.find(process);
    if (handle == w.processHandles.end()) return nullptr;
    const auto entry = running(handle->second.processId);
    if (entry == w.processes.end() || startOf(entry->processId) != handle->second.started) return nullptr;
    return &*entry;
}

void endProcess(std::uint32_t processId) {
    const auto entry = running(processId);
    if (entry != world().processes.end()) world().processes.erase(entry);
    world().processStarted.erase(processId);
}

bool sameName(const std::string& a, const std::string& b) { return upper(a) == upper(b); }

}  // namespace

}  // namespace sim

namespace platform {

using sim::world;

// The IDs a test named are handed on to their new programs only once the
// snapshot is taken: the entries keep the processes that held them.
std::vector<ProcessEntry> processSnapshot(bool& taken) {
    sim::World& w = world();
    taken = !sim::enter(sim::Call::processSnapshot) && w.snapshotTaken;
    if (!taken) return {};
    std::vector<ProcessEntry> entries = w.processes;
    const std::uint64_t listedAt = ++w.processClock;
    for (ProcessEntry& entry : entries) entry.listedAt = listedAt;
    for (const auto& [processId, exeFile] : w.idsTakenAfterSnapshot) {
        sim::endProcess(processId);
        w.processes.push_back({exeFile, processId, w.ownSessionId, 0});
        w.processStarted[processId] = ++w.processClock;
    }
    w.idsTakenAfterSnapshot.clear();
    return entries;
}

std::uint32_t ownSessionId() {
    sim::enter(sim::Call::ownSessionId);
    return world().ownSessionId;
}

// As the real open is checked: the process holding the ID must have started
// before the snapshot listed it, under the name the snapshot gave.
int openProcess(const ProcessEntry& entry) {
    if (sim::enter(sim::Call::openProcess)) return -1;
    sim::World& w = world();
    const auto found = sim::running(entry.processId);
    if (found == w.processes.end() || sim::startOf(entry.processId) > entry.listedAt ||
        !sim::sameName(found->exeFile, entry.exeFile))
        return -1;
    int handle = 1;
    while (w.processHandles.count(handle)) ++handle;
    w.processHandles[handle] = {entry.processId, sim::startOf(entry.processId)};
    w.processesOpened.push_back(entry.processId);
    return handle;
}

// The older player's save replaces its list file whole, as the player does.
void requestSaveFrom(int process, int timeoutMs) {
    if (sim::enter(sim::Call::requestSaveFrom)) return;
    const ProcessEntry* entry = sim::behind(process);
    if (entry == nullptr) return;
    sim::World& w = world();
    const std::uint32_t processId = entry->processId;
    const auto older = w.olderPlayers.find(processId);
    if (older != w.olderPlayers.end() && older->second.answer == sim::SaveAnswer::EndsFirst) {
        sim::endProcess(processId);
        return;
    }
    w.saveRequestsSent.push_back(processId);
    if (older == w.olderPlayers.end()) return;
    if (older->second.answer == sim::SaveAnswer::Hangs) sim::advanceClock(timeoutMs);
    if (older->second.answer == sim::SaveAnswer::Saves) sim::putFile(older->second.listFile, older->second.bytes);
}

bool terminateProcess(int process) {
    if (sim::enter(sim::Call::terminateProcess)) return false;
    const ProcessEntry* entry = sim::behind(process);
    if (entry == nullptr) return false;
    const std::uint32_t processId = entry->processId;
    sim::endProcess(processId);
    world().terminated.push_back(processId);
    return true;
}

bool waitForProcessEnd(int process, int) {
    if (sim::enter(sim::Call::waitForProcessEnd)) return false;
    return world().processHandles.count(process) != 0 && sim::behind(process) == nullptr;
}

void closeProcess(int process) {
    sim::enter(sim::Call::closeProcess);
    world().processHandles.erase(process);
}

std::uint32_t ownProcessId() {
    sim::enter(sim::Call::ownProcessId);
    return sim::world().ownProcessId;
}

}  // namespace platform
