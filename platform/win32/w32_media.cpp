// The media control interface. Every command goes to one device thread, which
// owns the tracks it opens (under Wine a track's alias belongs to the thread
// that opened it), and the caller waits for the answer within the command's
// bound. A device thread that does not answer in time is left behind, stuck,
// with its tracks; the next command starts a fresh one, on which the next
// open works. Under Wine the commands pass through the bridge on their way.

#include "platform/media.h"
#include "platform/media_text.h"
#include "platform/win32/w32_state.h"

#include <mmsystem.h>

#include <cstring>
#include <string>
#include <vector>

namespace platform {

// Who owns a device thread's slot: the caller while it waits or between
// commands, the thread itself once it has been left behind.
enum class SlotState { Waiting, Working, Left };

// The caller and the device thread meet under the slot's lock and wake each
// other through its condition variable: the loop asks the device every pass,
// and a lock and a condition variable cost no trip to the system's server
// under Wine, where an event costs one per set and per wait.
struct w32::DeviceSlot {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
    SlotState state = SlotState::Waiting;
    bool requested = false;  // a command is ready for the thread
    bool answered = false;   // the thread has the answer
    std::string command;
    std::vector<char> reply;
    int result = 0;
};

namespace {

using w32::DeviceSlot;

DWORD WINAPI runDevice(void* parameter) {
    auto* slot = static_cast<DeviceSlot*>(parameter);
    for (;;) {
        AcquireSRWLockExclusive(&slot->lock);
        while (!slot->requested) SleepConditionVariableSRW(&slot->changed, &slot->lock, INFINITE, 0);
        slot->requested = false;
        ReleaseSRWLockExclusive(&slot->lock);
        // The caller does not touch the command or the reply while the thread works.
        const int capacity = static_cast<int>(slot->reply.size());
        const int result = static_cast<int>(mciSendStringA(
            slot->command.c_str(), capacity > 0 ? slot->reply.data() : nullptr, static_cast<UINT>(capacity), nullptr));
        AcquireSRWLockExclusive(&slot->lock);
        if (slot->state == SlotState::Left) {
            ReleaseSRWLockExclusive(&slot->lock);
            delete slot;  // the caller gave up on this thread long ago
            return 0;
        }
        slot->result = result;
        slot->answered = true;
        slot->state = SlotState::Waiting;
        ReleaseSRWLockExclusive(&slot->lock);
        WakeAllConditionVariable(&slot->changed);
    }
}

DeviceSlot* startDevice() {
    auto* slot = new DeviceSlot;
    HANDLE thread = CreateThread(nullptr, 0, &runDevice, slot, 0, nullptr);
    if (!thread) {
        delete slot;
        return nullptr;
    }
    CloseHandle(thread);
    return slot;
}

// One command on the device thread, its reply buffer carried there and back.
// A thread that cannot be made leaves the command to the calling thread.
int sendWithinBound(const char* command, char* reply, int capacity) {
    capacity = reply != nullptr && capacity > 0 ? capacity : 0;
    DeviceSlot*& device = w32::services().mediaDevice;
    if (!device) device = startDevice();
    if (!device) {
        return static_cast<int>(
            mciSendStringA(command, capacity > 0 ? reply : nullptr, static_cast<UINT>(capacity), nullptr));
    }
    DeviceSlot* slot = device;
    AcquireSRWLockExclusive(&slot->lock);
    slot->command = command ? command : "";
    slot->reply.assign(reply, reply + capacity);
    slot->state = SlotState::Working;
    slot->answered = false;
    slot->requested = true;
    WakeAllConditionVariable(&slot->changed);
    const DWORD bound = static_cast<DWORD>(commandBoundMs(command));
    const DWORD asked = GetTickCount();
    while (!slot->answered) {
        const DWORD waited = GetTickCount() - asked;
        if (waited >= bound) {
            slot->state = SlotState::Left;  // stuck: left behind with its tracks; it frees the slot
            ReleaseSRWLockExclusive(&slot->lock);
            device = nullptr;
            ++w32::services().devicesLeft;
            return MEDIA_NOT_ANSWERING;
        }
        SleepConditionVariableSRW(&slot->changed, &slot->lock, bound - waited, 0);
    }
    ReleaseSRWLockExclusive(&slot->lock);
    if (capacity > 0) std::memcpy(reply, slot->reply.data(), static_cast<std::size_t>(capacity));
    return slot->result;
}

}  // namespace

int mediaCommand(const char* command, char* reply, int capacity) {
    auto& s = w32::services();
    const int leftBefore = s.devicesLeft;
    const int result = s.underWine ? media::sendThroughBridge(s.bridge, &sendWithinBound, command, reply, capacity)
                                   : sendWithinBound(command, reply, capacity);
    if (s.devicesLeft != leftBefore && s.deviceLeft != nullptr) s.deviceLeft(s.deviceLeftContext);
    return result;
}

void setDeviceLeftHook(void (*hook)(void*), void* context) {
    w32::services().deviceLeft = hook;
    w32::services().deviceLeftContext = context;
}

}  // namespace platform
