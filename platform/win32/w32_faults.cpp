// The process's unhandled-fault filter, guarded steps on the loop's thread,
// handing work to the loop's thread, and the hooks of the ends the player
// does not choose: the end of the session and a newer player's request to save.
//
// A fault passed over on the loop's thread abandons the guarded step: x86-64
// has no reliable "next instruction" to continue at, so the filter rewrites
// the faulting thread's context to resume in a landing function on the
// guard's own stack, which jumps back into runGuarded without unwinding (the
// abandoned frames' destructors do not run: whatever they owned is leaked,
// which is the price of carrying on at all).

#include "platform/faults.h"
#include "platform/win32/w32_state.h"

#include <malloc.h>

#include <vector>

namespace platform {

namespace {

// Room left below the guard's frame for the landing function.
constexpr DWORD64 LANDING_MARGIN = 256;

// Stack the system keeps back for the loop's thread after a stack overflow:
// the filter and the fatal path (the list file's save, the box) run in it.
constexpr ULONG STACK_GUARANTEE = 64 * 1024;

// Stopping the loop's thread outside the locks the fatal path needs: how often
// it is tried, how long the loop's thread runs on between tries, how long the
// probes of the locks are given, and how many heaps the heaps' probe takes.
constexpr int STOP_ATTEMPTS = 40;
constexpr DWORD STOP_RETRY_MS = 10;
constexpr DWORD PROBE_WAIT_MS = 50;
constexpr DWORD PROBED_HEAPS = 256;

// A thread that takes and releases some locks when asked, made with the trap
// (making a thread allocates). Rounds tell a late answer from the answer to
// the question just asked. Each kind of lock has a thread of its own, so that
// one stuck on a lock the stopped thread holds tells nothing about the other.
struct LockProbe {
    void (*takeAndRelease)() = nullptr;
    HANDLE thread = nullptr;
    HANDLE request = nullptr;  // auto-reset: one round asked
    HANDLE done = nullptr;     // auto-reset: a round answered
    volatile LONG asked = 0;
    volatile LONG answered = 0;
};

struct LoopTask {
    void (*task)(void*) = nullptr;
    void* context = nullptr;
};

struct FaultTrap {
    FaultFilter filter = nullptr;
    void* context = nullptr;
    LPTOP_LEVEL_EXCEPTION_FILTER previous = nullptr;
    DWORD loopThreadId = 0;
    HANDLE loopThread = nullptr;
    HWND taskWindow = nullptr;  // message-only window of the loop's thread
    void** guard = nullptr;     // the innermost runGuarded's jump buffer, on the loop's thread
    DWORD abandonedBy = 0;      // the code of the fault that abandoned the last step
    LoopTask handed;            // outlives a timed-out send, which the loop may still take later
    void (*sessionEnd)(void*) = nullptr;
    void* sessionContext = nullptr;
    void (*saveRequest)(void*, std::uint32_t) = nullptr;
    void* saveRequestContext = nullptr;
    LockProbe heapProbe;
    LockProbe windowProbe;
};

FaultTrap& trap() {
    static FaultTrap state;
    return state;
}

void takeAndReleaseHeaps() {
    HANDLE heaps[PROBED_HEAPS];
    DWORD count = GetProcessHeaps(PROBED_HEAPS, heaps);
    if (count > PROBED_HEAPS) {
        heaps[0] = GetProcessHeap();
        count = 1;
    }
    for (DWORD i = 0; i < count; ++i) {
        HeapLock(heaps[i]);
        HeapUnlock(heaps[i]);
    }
}

// Under Wine a thread stopped inside a call of the window system (the loop's
// key reads flush every window's surface) can hold that system's locks, and
// the box then waits for them while it is made. Reading a key's state flushes
// the surfaces too, and a screen context takes the window list: in 300 stops
// at random of a thread in a loop like the player's, under Wine, these two
// waited whenever making a window did, and never otherwise. On Windows
// neither waits for a stopped thread.
void takeAndReleaseWindowSystem() {
    GetAsyncKeyState(VK_LBUTTON);
    HDC screen = GetDC(nullptr);
    if (screen != nullptr) ReleaseDC(nullptr, screen);
}

DWORD WINAPI runProbe(void* context) {
    LockProbe& probe = *static_cast<LockProbe*>(context);
    for (;;) {
        WaitForSingleObject(probe.request, INFINITE);
        const LONG round = InterlockedCompareExchange(&probe.asked, 0, 0);
        probe.takeAndRelease();
        InterlockedExchange(&probe.answered, round);
        SetEvent(probe.done);
    }
}

void startProbe(LockProbe& probe, void (*takeAndRelease)()) {
    if (probe.thread != nullptr) return;
    probe.takeAndRelease = takeAndRelease;
    probe.request = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    probe.done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (probe.request == nullptr || probe.done == nullptr) return;
    probe.thread = CreateThread(nullptr, 64 * 1024, &runProbe, &probe, 0, nullptr);
}

LONG askProbe(LockProbe& probe) {
    if (probe.thread == nullptr) return 0;
    const LONG round = InterlockedIncrement(&probe.asked);
    SetEvent(probe.request);
    return round;
}

// Whether the probe answered `round` within its wait from `start`. Without the probe nothing
// can be told, and the locks count as free, as they did before it.
bool probeAnswered(LockProbe& probe, LONG round, DWORD start) {
    if (probe.thread == nullptr) return true;
    for (;;) {
        if (InterlockedCompareExchange(&probe.answered, 0, 0) == round) return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= PROBE_WAIT_MS) return false;
        WaitForSingleObject(probe.done, PROBE_WAIT_MS - spent);
    }
}

// Which of the fatal path's locks could not be taken just now.
LoopStop probeLocks() {
    FaultTrap& t = trap();
    const LONG heapRound = askProbe(t.heapProbe);
    const LONG windowRound = askProbe(t.windowProbe);
    const DWORD start = GetTickCount();
    if (!probeAnswered(t.heapProbe, heapRound, start)) return LoopStop::HoldsHeap;
    if (!probeAnswered(t.windowProbe, windowRound, start)) return LoopStop::HoldsWindows;
    return LoopStop::Clear;
}

[[noreturn]] void resumeGuard() { __builtin_longjmp(trap().guard, 1); }

LONG WINAPI filterFault(EXCEPTION_POINTERS* pointers) {
    FaultTrap& t = trap();
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    Fault fault;
    fault.code = record->ExceptionCode;
    fault.address = reinterpret_cast<std::uint64_t>(record->ExceptionAddress);
    fault.onLoopThread = GetCurrentThreadId() == t.loopThreadId;
    if (t.filter != nullptr) t.filter(fault, t.context);
    if (!fault.onLoopThread) ExitThread(fault.code);
    if (t.guard == nullptr) return EXCEPTION_EXECUTE_HANDLER;  // nothing to resume: the process ends with the code
    t.abandonedBy = fault.code;
    CONTEXT* context = pointers->ContextRecord;
    const DWORD64 guardStack = reinterpret_cast<DWORD64>(t.guard[2]);
    context->Rsp = ((guardStack - LANDING_MARGIN) & ~DWORD64{15}) - 8;  // as if just called
    context->Rip = reinterpret_cast<DWORD64>(&resumeGuard);
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void installFaultFilter(FaultFilter filter, void* context) {
    FaultTrap& t = trap();
    t.filter = filter;
    t.context = context;
    t.loopThreadId = GetCurrentThreadId();
    ULONG guarantee = STACK_GUARANTEE;
    SetThreadStackGuarantee(&guarantee);
    if (t.loopThread == nullptr) {
        t.loopThread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, t.loopThreadId);
    }
    if (t.taskWindow == nullptr) {
        t.taskWindow = CreateWindowExA(0, w32::WINDOW_CLASS, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       w32::services().instance, nullptr);
    }
    startProbe(t.heapProbe, &takeAndReleaseHeaps);
    startProbe(t.windowProbe, &takeAndReleaseWindowSystem);
    t.previous = SetUnhandledExceptionFilter(&filterFault);
}

void removeFaultFilter() {
    FaultTrap& t = trap();
    if (t.filter == nullptr) return;
    SetUnhandledExceptionFilter(t.previous);
    t.filter = nullptr;
    if (t.taskWindow != nullptr && GetCurrentThreadId() == t.loopThreadId) {
        DestroyWindow(t.taskWindow);
        t.taskWindow = nullptr;
    }
}

// __builtin_setjmp keeps the frame and stack pointers (slots 0 and 2) and the
// resume label; the compiler saves every callee-saved register around it.
// A stack overflow used up the stack's guard page; it is put back so that a
// later overflow is trapped as one too.
bool runGuarded(void (*step)(void*), void* context) {
    FaultTrap& t = trap();
    void* buffer[5] = {};
    void** outer = t.guard;
    t.guard = buffer;
    if (__builtin_setjmp(buffer) != 0) {
        t.guard = outer;
        if (t.abandonedBy == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
        return false;
    }
    step(context);
    t.guard = outer;
    return true;
}

bool runOnLoopThread(void (*task)(void*), void* context, int timeoutMs) {
    FaultTrap& t = trap();
    if (t.taskWindow == nullptr) return false;
    t.handed = LoopTask{task, context};
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(t.taskWindow, w32::WM_RUN_TASK, 0, reinterpret_cast<LPARAM>(&t.handed), SMTO_NORMAL,
                               static_cast<UINT>(timeoutMs), &result) != 0;
}

// A suspension takes effect asynchronously; reading the thread's context
// waits until it has. The last try leaves the thread stopped, whatever it holds.
LoopStop stopLoopThread() {
    HANDLE thread = trap().loopThread;
    if (thread == nullptr) return LoopStop::Clear;
    LoopStop stop = LoopStop::Clear;
    for (int attempt = 0; attempt < STOP_ATTEMPTS; ++attempt) {
        if (attempt > 0) {
            ResumeThread(thread);
            Sleep(STOP_RETRY_MS);
        }
        if (SuspendThread(thread) == static_cast<DWORD>(-1)) return LoopStop::Clear;
        CONTEXT context = {};
        context.ContextFlags = CONTEXT_CONTROL;
        GetThreadContext(thread, &context);
        stop = probeLocks();
        if (stop == LoopStop::Clear) return stop;
    }
    return stop;
}

void parkThread() {
    for (;;) Sleep(INFINITE);
}

void endProcessNow(std::uint32_t code) {
    TerminateProcess(GetCurrentProcess(), code);
    parkThread();
}

std::uint32_t currentThreadId() { return GetCurrentThreadId(); }

void setSessionEndHook(void (*hook)(void*), void* context) {
    trap().sessionEnd = hook;
    trap().sessionContext = context;
}

void setSaveRequestHook(void (*hook)(void*, std::uint32_t), void* context) {
    trap().saveRequest = hook;
    trap().saveRequestContext = context;
}

}  // namespace platform

namespace platform::w32 {

void runHandedTask(LPARAM task) {
    const auto* handed = reinterpret_cast<const LoopTask*>(task);
    if (handed != nullptr && handed->task != nullptr) handed->task(handed->context);
}

void endSession() {
    FaultTrap& t = trap();
    if (t.sessionEnd != nullptr) t.sessionEnd(t.sessionContext);
}

UINT saveRequestMessage() {
    static const UINT message = RegisterWindowMessageA(SAVE_REQUEST_MESSAGE);
    return message;
}

void runSaveRequest(WPARAM requester) {
    FaultTrap& t = trap();
    if (t.saveRequest != nullptr) t.saveRequest(t.saveRequestContext, static_cast<std::uint32_t>(requester));
}

}  // namespace platform::w32
