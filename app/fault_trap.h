// The fault trap: every fault is counted; until the end of the first pass it
// is passed over, from then on it ends the player through the "Debugger" box.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <type_traits>

#include "platform/faults.h"

namespace app {

struct Player;

enum class FaultMode { PassOver, CallHandler };

// Kept up to date by the loop's thread and read by whichever thread faults.
struct FaultRecord {
    std::atomic<std::uint32_t> currentLine{0};  // low 24 bits: the line of the player's own code
    std::atomic<std::uint32_t> faultCount{0};
    std::atomic<std::uint32_t> faultLine{0};  // the current line when the last fault came
    std::atomic<std::uint32_t> faultCode{0};
    std::atomic<std::uint64_t> faultAddress{0};
    std::atomic<FaultMode> mode{FaultMode::PassOver};
    std::atomic<std::uint32_t> handlerThread{0};  // the thread on the fatal path, 0 = none yet
    std::atomic<bool> saveAbandoned{false};       // a save broken off inside the fatal path was cleared away
};

// Marks the source line now running; one relaxed store, cheap enough for every stage.
#define FAULT_LINE(record) ((record).currentLine.store(__LINE__, std::memory_order_relaxed))

// How long a thread that faulted waits for the loop's thread to take the fatal path over.
constexpr int HANDOVER_TIMEOUT_MS = 5000;

// Start-up: the trap in its initial mode.
void startFaultTrap(Player& player);
// From the end of the first pass on, a fault calls the handler (the trap's
// mode changes; calling it again changes nothing).
void armFaultHandler(FaultRecord& record);

// What the loop's thread runs when another thread's fault is handed to it
// (`context` is the Player): the fatal path, unless it runs it already.
void takeOverFatalPath(void* context);

// The description line's text for a fault code.
const char* faultDescription(std::uint32_t code);
// The box's text for the fault recorded, CR LF between lines.
std::string faultMessage(const FaultRecord& record);

// Runs step() so that a fault passed over inside it skips the rest of it;
// false when it did.
template <typename Step>
bool runStep(Step&& step) {
    using Callable = std::remove_reference_t<Step>;
    return platform::runGuarded([](void* context) { (*static_cast<Callable*>(context))(); }, &step);
}

}  // namespace app
