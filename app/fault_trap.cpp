// The fault trap and the fatal path. A fault is counted first, then recorded
// with the line that was running. Before the first pass has ended it is passed
// over; afterwards the first fault ends the player: the playlist is kept, the
// "Debugger" box shown, and the process ends with the fault's code, as the
// system reports a process ended by a fault. The fatal path leaves the media
// device alone (the fault may have come from inside it, holding its lock);
// the end of the process releases it.
//
// One thread runs the fatal path. A fault on another thread hands it to the
// loop's thread, which takes it at its next event poll or inside a modal wait,
// where the playlist is whole and the player's windows can own the box; only
// if the loop's thread does not answer is it stopped and the path run where
// the fault came. It is stopped where it holds no heap's lock; one stuck
// inside an allocation would hold it for good, and the process then ends at
// once with the fault's code, with neither save nor box.
#include "app/fault_trap.h"

#include "app/player.h"
#include "platform/faults.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "playlist/list_file.h"

namespace app {

namespace {

struct FaultDescription {
    std::uint32_t code;
    const char* text;
};

constexpr FaultDescription FAULT_DESCRIPTIONS[] = {
    {0xC0000094, "Attempted division by zero"},
    {0xC0000005, "An attemped read or write to/from an address to which that process isn't allowed"},
    {0xC0000096,
     "The instruction is not allowed in the current ring (inport, outport & control register "
     "manipulation usually)"},
    {0xC000001D, "Try to execute an invalid instruction -such as MMX opcodes on a non MMX system"},
    {0xC0000025,
     "The exception filter returned EXCEPTION_CONTINUE_EXCEPTION when the exception raised isn't "
     "restartable"},
    {0xC00000FD,
     "Stack overflow.Can occur during errant recursion, or when a function creates a particularly "
     "large array on the stack."},
    {0xC0000026,
     "INVALID_DISPOSITION Whatever number the exception filter returned, it wasn't a value the OS "
     "knows about."},
    {0xC0000008,
     "INVALID_HANDLE The API call was passed a handle to a kernel object which was invalid "
     "-usually because that handle has already been closed."},
    {0xC0000142, "EXCEPTION_DLL_Initialisation_Failure raised when DllMain() returns false (?)"},
    {0xC000008D,
     "FLOAT_DENORMAL_OPERAND One of the operands in a floating-point operation is too small to be "
     "represented in a floating-point value."},
    {0xC000008E, "FLOAT_DIVIDE_BY_ZERO The thread tried to divide a floating-point value by zero."},
    {0xC000008F,
     "FLOAT_INEXACT_RESULT The accuracy of the last floating point operation is worse than usual "
     "as it is impossible to represent in the float accurately,"},
    {0xC0000090, "FLOAT_INVALID_OPERATION Any other floating-point exception."},
    {0xC0000091, "FLOAT_OVERFLOW The result was too big to represent"},
    {0xC0000092,
     "FLOAT_STACK_CHECK A floating point stack overflowed or underflow. This related to the "
     "baroque design of the floating point unit."},
    {0xC0000093, "FLT_UNDERFLOW The result was too small to represent"},
    {0xC000013A, "CONTROL_C_EXIT Lets the debugger know the user hit Ctrl-C. "},
    {0x80000003, "BREAKPOINT A breakpoint was encountered."},
    {0x80000004,
     "SINGLE_STEP The CPU has signalled that one instruction has been executed.Only of interest "
     "to Debuggers"},
    {0, "No Error"},
};

constexpr std::uint32_t LINE_BITS = 0xFFFFFF;

// True for the one thread that runs the fatal path.
bool claimFatalPath(FaultRecord& record) {
    std::uint32_t none = 0;
    return record.handlerThread.compare_exchange_strong(none, platform::currentThreadId());
}

// The playlist kept, the box, the services released, the filter removed, the end.
[[noreturn]] void endAfterFault(Player& player, bool onLoopThread) {
    playlist::keepListFile(player.playlist);
    platform::messageBox(faultMessage(player.faults).c_str(), "Debugger");
    if (onLoopThread) platform::stopServices();
    platform::removeFaultFilter();
    platform::exitProcess(static_cast<int>(player.faults.faultCode.load()));
}

// A fault inside the fatal path ends the process at once. A save it broke off
// would leave its temporary file behind: that is cleared away first, once (a
// fault while clearing it ends the process straight away).
[[noreturn]] void endInsideHandler(Player& player, std::uint32_t code) {
    if (!player.faults.saveAbandoned.exchange(true)) playlist::abandonListFileSave(player.playlist);
    platform::endProcessNow(code);
}

void trapFault(const platform::Fault& fault, void* context) {
    Player& player = *static_cast<Player*>(context);
    FaultRecord& record = player.faults;
    record.faultCount.fetch_add(1);
    const std::uint32_t handler = record.handlerThread.load();
    if (handler == platform::currentThreadId()) endInsideHandler(player, fault.code);
    if (handler != 0) platform::parkThread();  // the fatal path is running elsewhere: one box
    record.faultLine = record.currentLine.load(std::memory_order_relaxed);
    record.faultCode = fault.code;
    record.faultAddress = fault.address;
    if (record.mode.load() == FaultMode::PassOver) {
        // The step it abandons may have been in the middle of a change.
        if (fault.onLoopThread) player.playlist.rowsInDoubt = true;
        return;
    }
    if (fault.onLoopThread) {
        if (!claimFatalPath(record)) platform::parkThread();
        endAfterFault(player, true);
    }
    platform::runOnLoopThread(&takeOverFatalPath, &player, HANDOVER_TIMEOUT_MS);
    if (!claimFatalPath(record)) platform::parkThread();
    // Stopped inside an allocation it never leaves, the loop's thread holds a
    // heap's lock for good: the save and the box would wait for it forever.
    // Inside a call of the window system it never leaves, only the box would.
    switch (platform::stopLoopThread()) {
    case platform::LoopStop::HoldsHeap:
        platform::endProcessNow(fault.code);
    case platform::LoopStop::HoldsWindows:
        playlist::keepListFile(player.playlist);
        platform::endProcessNow(fault.code);
    case platform::LoopStop::Clear:
        break;
    }
    endAfterFault(player, false);
}

}  // namespace

// The hand-off can reach the loop's thread while it runs the fatal path itself
// (the box's modal loop delivers it): it then returns at once, so that its box
// stays answerable and the process ends after it.
void takeOverFatalPath(void* context) {
    Player& player = *static_cast<Player*>(context);
    if (player.faults.handlerThread.load() == platform::currentThreadId()) return;
    if (!claimFatalPath(player.faults)) platform::parkThread();
    endAfterFault(player, true);
}

void startFaultTrap(Player& player) { platform::installFaultFilter(&trapFault, &player); }

void armFaultHandler(FaultRecord& record) { record.mode = FaultMode::CallHandler; }

const char* faultDescription(std::uint32_t code) {
    for (const FaultDescription& entry : FAULT_DESCRIPTIONS) {
        if (entry.code == code) return entry.text;
    }
    return "UNKNOWN Error";
}

std::string faultMessage(const FaultRecord& record) {
    const std::string lineBreak = "\r\n";
    return "Sorry there was an error:" + lineBreak + lineBreak +
           "Line: " + std::to_string(record.faultLine.load() & LINE_BITS) + lineBreak +
           "Description: " + faultDescription(record.faultCode.load()) + lineBreak +
           "Total number of errors: " + std::to_string(record.faultCount.load()) + lineBreak +
           "The program will end now. Thanks to Orvasten for this code ;)";
}

}  // namespace app
