// The simulated machine's state, its reset, path mapping and the test set-up hooks.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "platform/sim/sim_state.h"

namespace sim {

namespace fs = std::filesystem;

World& world() {
    static World theWorld;
    return theWorld;
}

WindowRecord* findWindow(int window) {
    auto it = world().windows.find(window);
    return it == world().windows.end() ? nullptr : &it->second;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Finds the entry of `folder` whose name equals `name` ignoring case, as the
// Windows file system would; falls back to `name` itself.
static std::string matchName(const fs::path& folder, const std::string& name) {
    std::error_code error;
    if (fs::exists(folder / name, error)) return name;
    const std::string wanted = upper(name);
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string candidate = it->path().filename().string();
        if (upper(candidate) == wanted) return candidate;
    }
    return name;
}

// The path in UTF-8, as the system reads it: split at its separators, never
// inside a double-byte character whose second byte has the value of '\\'.
static std::string hostPathUtf8(const std::string& utf8Path) {
    World& w = world();
    if (w.root.empty()) return "";
    std::string path = utf8Path;
    std::replace(path.begin(), path.end(), '/', '\\');
    std::string drive;
    std::string rest;
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        drive = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))));
        rest = path.substr(2);
    } else if (!path.empty() && path[0] == '\\') {
        drive = w.currentDirectory.empty() ? "C" : w.currentDirectory.substr(0, 1);
        rest = path;
    } else {
        if (w.currentDirectory.size() < 2 || w.currentDirectory[1] != ':') return "";
        return hostPathUtf8(w.currentDirectory + "\\" + path);
    }
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find('\\', start);
        if (end == std::string::npos) end = rest.size();
        std::string part = rest.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    fs::path host = fs::path(w.root) / drive;
    for (const std::string& part : parts) host /= matchName(host, part);
    return host.string();
}

std::string hostPath(const std::string& windowsPath) { return hostPathUtf8(utf8FromCodePage(windowsPath)); }

void reset(const std::string& rootFolder) {
    World& old = world();
    for (auto& [handle, file] : old.files)
        if (file.fd >= 0) ::close(file.fd);
    old = World{};
    World& w = world();
    w.root = rootFolder;
    while (w.root.size() > 1 && w.root.back() == '/') w.root.pop_back();
    w.environment["USERPROFILE"] = "C:\\Users\\tester";
    w.currentDirectory = "C:\\Tunewell";
    std::error_code error;
    fs::create_directories(hostPath("C:\\Users\\tester"), error);
    fs::create_directories(hostPath("C:\\Tunewell"), error);
}

// The machine stays: its files, folders and names, the environment and what
// the program starts from. Everything the process held goes with it.
void startAgain() {
    World& old = world();
    World kept;
    kept.root = old.root;
    kept.environment = old.environment;
    kept.currentDirectory = old.currentDirectory;
    kept.programPath = old.programPath;
    kept.ownProcessId = old.ownProcessId;
    kept.commandLine = old.commandLine;
    kept.screenWidth = old.screenWidth;
    kept.screenHeight = old.screenHeight;
    kept.clock = old.clock;
    kept.damagedFrom = old.damagedFrom;
    kept.lockedFiles = old.lockedFiles;
    kept.memoryFiles = old.memoryFiles;
    kept.shortForms = old.shortForms;
    kept.shortFormsKept = old.shortFormsKept;
    kept.processes = old.processes;
    kept.snapshotTaken = old.snapshotTaken;
    kept.trackLengths = old.trackLengths;
    for (auto& [handle, file] : old.files)
        if (file.fd >= 0) ::close(file.fd);
    old = std::move(kept);
}

void setEnvironment(const std::string& name, const std::string& value) { world().environment[upper(name)] = value; }

void unsetEnvironment(const std::string& name) { world().environment.erase(upper(name)); }

void setCurrentDirectory(const std::string& windowsPath) { world().currentDirectory = windowsPath; }

void setProgramPath(const std::string& windowsPath) { world().programPath = windowsPath; }

void setScreenSize(int width, int height) {
    world().screenWidth = width;
    world().screenHeight = height;
}

void setCommandLine(const std::string& text) { world().commandLine = text; }

void setProcesses(std::vector<platform::ProcessEntry> processes, bool snapshotTaken) {
    world().processes = std::move(processes);
    world().snapshotTaken = snapshotTaken;
}

void setOwnProcessId(std::uint32_t processId) { world().ownProcessId = processId; }

const std::vector<std::uint32_t>& terminatedProcesses() { return world().terminated; }
int servicesStarted() { return world().servicesStarted; }
int servicesStopped() { return world().servicesStopped; }

std::int64_t clockMs() { return world().clock; }
void advanceClock(std::int64_t ms) {
    if (ms > 0) world().clock += ms;
}
int sleepCalls() { return world().sleepCalls; }

namespace {

struct CallKind {
    const char* name;
    bool canFail;
};

constexpr CallKind CALL_KINDS_TABLE[] = {
#define SIM_CALL_KIND(name, canFail) {#name, canFail},
    SIM_CALLS(SIM_CALL_KIND)
#undef SIM_CALL_KIND
};

}  // namespace

// Another thread that needs a lock the stopped loop's thread holds waits for
// it for good: every service allocates, only a media command takes the
// device's, and of the fatal path's calls only the box makes a window.
static void waitForStoppedThread(Call call) {
    const World& w = world();
    if (!w.loopThreadStopped || w.currentThread == LOOP_THREAD) return;
    if (w.stoppedHoldingHeap || (w.stoppedHoldingDevice && call == Call::mediaCommand) ||
        (w.stoppedHoldingWindows && call == Call::messageBox))
        throw Deadlock{};
}

bool enter(Call call, const char* detail) {
    World& w = world();
    const CallKind& kind = CALL_KINDS_TABLE[static_cast<std::size_t>(call)];
    ++w.callCounts[static_cast<std::size_t>(call)];
    CallSweep& sweep = w.sweep;
    const std::int64_t number = ++sweep.number;
    if (sweep.recording) sweep.log.push_back({kind.name, kind.canFail, w.polls, detail ? detail : ""});
    if (sweep.limit > 0 && number > sweep.limit) throw Runaway{};
    waitForStoppedThread(call);
    if (number == sweep.killAt) {
        sweep.injected = true;
        throw Killed{};
    }
    if (!w.faultsAtNextCall.empty()) {
        auto queued = w.faultsAtNextCall.find(kind.name);
        if (queued != w.faultsAtNextCall.end()) {
            const std::uint32_t code = queued->second;
            w.faultsAtNextCall.erase(queued);
            raiseFault(code, 0x401000);
        }
    }
    if (number == sweep.faultAt) {
        sweep.injected = true;
        raiseFault(sweep.faultCode, 0x401000);
    }
    if (number != sweep.failAt || !kind.canFail) return false;
    sweep.injected = true;
    return true;
}

int callCount(const std::string& name) {
    for (std::size_t i = 0; i < CALL_KINDS; ++i) {
        if (name == CALL_KINDS_TABLE[i].name) return world().callCounts[i];
    }
    return 0;
}
void clearCallCounts() { world().callCounts.fill(0); }

void recordCalls() { world().sweep.recording = true; }
const std::vector<CallRecord>& callLog() { return world().sweep.log; }
void failCall(std::int64_t number) { world().sweep.failAt = number; }
void faultInCall(std::int64_t number, std::uint32_t code) {
    world().sweep.faultAt = number;
    world().sweep.faultCode = code;
}
bool injectionReached() { return world().sweep.injected; }
void limitCalls(std::int64_t calls) { world().sweep.limit = calls; }
void killAtCall(std::int64_t number) { world().sweep.killAt = number; }
int polls() { return world().polls; }
void onPoll(std::function<void()> user) { world().user = std::move(user); }
void watchMessageBoxes(std::function<void(const MessageShown&)> watcher) { world().boxWatcher = std::move(watcher); }
void onModalWait(std::function<void(const std::string&)> watcher) { world().modalWatcher = std::move(watcher); }

}  // namespace sim
