// Faults and the ends of the process the player does not choose. The loop's
// thread is the one that installs the fault filter (it runs start-up and the
// loop); the filter and the session-end hook get back the context given here.
#pragma once

#include <cstdint>

namespace platform {

struct Fault {
    std::uint32_t code = 0;     // the system's exception code
    std::uint64_t address = 0;  // of the faulting instruction
    bool onLoopThread = false;
};
// Called on the faulting thread for every fault nothing else handled. If it
// returns, the fault is passed over: on the loop's thread the guarded step
// that faulted is abandoned; another thread is ended.
using FaultFilter = void (*)(const Fault& fault, void* context);
void installFaultFilter(FaultFilter filter, void* context);
void removeFaultFilter();
// Runs step(context); false when a fault passed over abandoned it.
bool runGuarded(void (*step)(void* context), void* context);
// From another thread: runs task(context) on the loop's thread, inside its
// next event poll or modal wait. False when the loop's thread did not take it
// within `timeoutMs`.
bool runOnLoopThread(void (*task)(void* context), void* context, int timeoutMs);
// How a stop of the loop's thread ended: outside every lock the fatal path
// needs; or, after a bound of tries, inside an allocation it never leaves
// (nothing that allocates can run after that); or inside a call of the window
// system it never leaves (under Wine such a call can hold the window system's
// locks: no window can be made, though files can be written).
enum class LoopStop { Clear, HoldsHeap, HoldsWindows };
// Stops the loop's thread for good (it runs no more code of the player), and
// only where it holds none of those locks: caught inside one it is let run on
// a moment and stopped again.
LoopStop stopLoopThread();
[[noreturn]] void parkThread();                       // the calling thread waits for the process to end
[[noreturn]] void endProcessNow(std::uint32_t code);  // nothing else runs, no library unloads
std::uint32_t currentThreadId();
// The system ends the session (log-off, shut-down): `hook` runs on the loop's
// thread, once per window told, before the process is ended.
void setSessionEndHook(void (*hook)(void* context), void* context);
// Another copy of the player asks this one to save before it ends it: `hook`
// runs on the loop's thread, once per window told, with the asking process's ID.
void setSaveRequestHook(void (*hook)(void* context, std::uint32_t requester), void* context);

}  // namespace platform
