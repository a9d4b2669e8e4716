// Test driver for the fault services on Windows: faults inside guarded steps
// are passed over and the program carries on; a fault on another thread
// passed over ends only that thread; the filter sees every fault once.
// Prints one line per check and "done" at the end.
#include <windows.h>

#include <cstddef>
#include <cstdio>

#include "platform/faults.h"
#include "platform/system.h"

namespace {

int faultsSeen = 0;
unsigned lastCode = 0;
bool lastOnLoopThread = false;

void countFault(const platform::Fault& fault, void*) {
    ++faultsSeen;
    lastCode = fault.code;
    lastOnLoopThread = fault.onLoopThread;
}

void report(const char* check, bool passed) {
    std::printf("%s %s (faults %d, last code %08X, loop thread %d)\n", passed ? "ok" : "FAILED", check, faultsSeen,
                lastCode, lastOnLoopThread ? 1 : 0);
    std::fflush(stdout);
}

volatile int* volatile nowhere = nullptr;
volatile int zero = 0;
volatile int reached = 0;

void writeNowhere(void*) {
    *nowhere = 1;
    reached = 1;
}

void divideByZero(void*) { reached = 10 / zero; }

// Deep enough to run off the end of the thread's stack.
int recurse(int depth) {
    volatile char block[4096];
    block[0] = static_cast<char>(depth);
    return recurse(depth + 1) + block[0];
}

void overflowStack(void*) { reached = recurse(0); }

// A filter that needs as much stack as a file save and a message box may.
void countFaultDeeply(const platform::Fault& fault, void* context) {
    volatile char room[48 * 1024];
    for (std::size_t i = 0; i < sizeof room; i += 512) room[i] = static_cast<char>(i);
    countFault(fault, context);
}

void nested(void*) {
    const bool inner = platform::runGuarded(&writeNowhere, nullptr);
    report("inner guard abandoned, outer goes on", !inner && reached == 0);
    reached = 2;
}

DWORD WINAPI faultingThread(LPVOID) {
    *nowhere = 1;
    return 0;
}

}  // namespace

int main() {
    platform::startServices();
    platform::installFaultFilter(&countFault, nullptr);

    bool done = platform::runGuarded(&writeNowhere, nullptr);
    report("write to nowhere abandons its step", !done && reached == 0 && lastCode == 0xC0000005 && lastOnLoopThread);
    done = platform::runGuarded(&divideByZero, nullptr);
    report("division by zero abandons its step", !done && lastCode == 0xC0000094 && faultsSeen == 2);
    done = platform::runGuarded(&nested, nullptr);
    report("outer guard completes", done && reached == 2 && faultsSeen == 3);
    for (int round = 0; round < 100; ++round) platform::runGuarded(&writeNowhere, nullptr);
    report("a hundred faults in a row", faultsSeen == 103);

    HANDLE thread = CreateThread(nullptr, 0, &faultingThread, nullptr, 0, nullptr);
    WaitForSingleObject(thread, 10000);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    report("another thread's fault ends that thread", code == 0xC0000005 && !lastOnLoopThread && faultsSeen == 104);

    for (int round = 1; round <= 2; ++round) {
        done = platform::runGuarded(&overflowStack, nullptr);
        report(round == 1 ? "stack overflow abandons its step" : "and so does a second one",
               !done && lastCode == 0xC00000FD && faultsSeen == 104 + round);
    }

    platform::removeFaultFilter();
    platform::installFaultFilter(&countFaultDeeply, nullptr);
    done = platform::runGuarded(&overflowStack, nullptr);
    report("after an overflow the filter still has 48 KB of stack", !done && faultsSeen == 107);

    platform::removeFaultFilter();
    platform::stopServices();
    std::printf("done\n");
    return 0;
}
