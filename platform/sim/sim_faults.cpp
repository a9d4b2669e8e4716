// Simulated fault trapping: faults are raised by the tests, on the loop's
// thread or on another one, and take the paths the real filter gives them.
#include "platform/sim/sim_state.h"

namespace sim {

namespace {

// Runs on `thread` for the length of a scope, as the real services would.
class OnThread {
public:
    explicit OnThread(std::uint32_t thread) : previous_(world().currentThread) { world().currentThread = thread; }
    ~OnThread() { world().currentThread = previous_; }
    OnThread(const OnThread&) = delete;
    OnThread& operator=(const OnThread&) = delete;

private:
    std::uint32_t previous_;
};

// Counts the filter's calls under way, so that a fault raised inside one shows as nested.
class InFilter {
public:
    InFilter() { ++world().filterDepth; }
    ~InFilter() { --world().filterDepth; }
    InFilter(const InFilter&) = delete;
    InFilter& operator=(const InFilter&) = delete;
};

void noteFault(std::uint32_t code) {
    World& w = world();
    w.faults.push_back({code, w.faultFilter != nullptr, w.filterDepth > 0});
}

}  // namespace

void raiseFault(std::uint32_t code, std::uint64_t address) {
    World& w = world();
    noteFault(code);
    // Unfiltered, or filtered but outside any guarded step: the process ends with the code.
    if (w.faultFilter == nullptr) throw ProcessExit{static_cast<int>(code), true};
    {
        OnThread loop(LOOP_THREAD);
        InFilter filtering;
        w.faultFilter(platform::Fault{code, address, true}, w.faultContext);
    }
    if (w.guardDepth > 0) throw AbandonedStep{};
    throw ProcessExit{static_cast<int>(code), true};
}

void raiseFaultElsewhere(std::uint32_t code, std::uint64_t address) {
    World& w = world();
    noteFault(code);
    if (w.faultFilter == nullptr) throw ProcessExit{static_cast<int>(code), true};
    OnThread other(OTHER_THREAD);
    InFilter filtering;
    try {
        w.faultFilter(platform::Fault{code, address, false}, w.faultContext);
        ++w.threadsEnded;
    } catch (const ParkedThread&) {
        ++w.threadsParked;
    }
}

void faultAtNextCall(const std::string& service, std::uint32_t code) { world().faultsAtNextCall[service] = code; }

bool faultFilterInstalled() { return world().faultFilter != nullptr; }
const std::vector<FaultRaised>& faultsRaised() { return world().faults; }
void setLoopThreadAnswers(bool answers) { world().loopThreadAnswers = answers; }
void allocationAtStop(bool forGood) {
    world().allocationAtStop = forGood ? AllocationAtStop::ForGood : AllocationAtStop::Brief;
}
void windowCallAtStop() { world().windowCallAtStop = true; }
bool loopThreadStopped() { return world().loopThreadStopped; }
int threadsEnded() { return world().threadsEnded; }
int threadsParked() { return world().threadsParked; }

// Every window of the player is told, hidden and owned ones included.
void endSession() {
    World& w = world();
    for (std::size_t told = 0; told < w.windows.size(); ++told) {
        if (w.sessionEnd != nullptr) w.sessionEnd(w.sessionContext);
    }
}

void requestSave(std::uint32_t requester) {
    World& w = world();
    for (std::size_t told = 0; told < w.windows.size(); ++told) {
        if (w.saveRequest != nullptr) w.saveRequest(w.saveRequestContext, requester);
    }
}

const std::vector<std::uint32_t>& saveRequestsSent() { return world().saveRequestsSent; }

}  // namespace sim

namespace platform {

using sim::world;

void installFaultFilter(FaultFilter filter, void* context) {
    world().faultFilter = filter;
    world().faultContext = context;
}

void removeFaultFilter() {
    world().faultFilter = nullptr;
    world().faultContext = nullptr;
}

bool runGuarded(void (*step)(void*), void* context) {
    sim::World& w = world();
    ++w.guardDepth;
    try {
        step(context);
    } catch (const sim::AbandonedStep&) {
        --w.guardDepth;
        return false;
    } catch (...) {
        --w.guardDepth;
        throw;
    }
    --w.guardDepth;
    return true;
}

// The time limit passes in full when the loop's thread does not answer.
bool runOnLoopThread(void (*task)(void*), void* context, int timeoutMs) {
    sim::World& w = world();
    if (!w.loopThreadAnswers || w.loopInsideDeviceCall) {
        sim::advanceClock(timeoutMs);
        return false;
    }
    sim::OnThread loop(sim::LOOP_THREAD);
    task(context);
    return true;
}

// Inside a media command it is stopped holding the device's lock; a brief
// allocation is waited out, one it never leaves keeps the heap's lock, and a
// window system's call it never leaves keeps that system's.
LoopStop stopLoopThread() {
    sim::World& w = world();
    w.loopThreadStopped = true;
    w.stoppedHoldingDevice = w.loopInsideDeviceCall;
    w.stoppedHoldingHeap = w.allocationAtStop == sim::AllocationAtStop::ForGood;
    w.stoppedHoldingWindows = !w.stoppedHoldingHeap && w.windowCallAtStop;
    if (w.stoppedHoldingHeap) return LoopStop::HoldsHeap;
    return w.stoppedHoldingWindows ? LoopStop::HoldsWindows : LoopStop::Clear;
}
void parkThread() { throw sim::ParkedThread{}; }
void endProcessNow(std::uint32_t code) { throw sim::ProcessExit{static_cast<int>(code), true}; }
std::uint32_t currentThreadId() { return world().currentThread; }

void setSessionEndHook(void (*hook)(void*), void* context) {
    world().sessionEnd = hook;
    world().sessionContext = context;
}

void setSaveRequestHook(void (*hook)(void*, std::uint32_t), void* context) {
    world().saveRequest = hook;
    world().saveRequestContext = context;
}

}  // namespace platform
