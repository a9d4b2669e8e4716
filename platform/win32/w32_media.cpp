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
enum : LONG { SLOT_WAITING = 0, SLOT_WORKING = 1, SLOT_LEFT = 2 };

struct w32::DeviceSlot {
    HANDLE request = nullptr;   // set when a command is ready for the thread
    HANDLE answered = nullptr;  // set when the thread has the answer
    volatile LONG state = SLOT_WAITING;
    std::string command;
    std::vector<char> reply;
    int result = 0;
};

namespace {

using w32::DeviceSlot;

void freeSlot(DeviceSlot* slot) {
    CloseHandle(slot->request);
    CloseHandle(slot->answered);
    delete slot;
}

DWORD WINAPI runDevice(void* parameter) {
    auto* slot = static_cast<DeviceSlot*>(parameter);
    for (;;) {
        WaitForSingleObject(slot->request, INFINITE);
        const int capacity = static_cast<int>(slot->reply.size());
        slot->result = static_cast<int>(mciSendStringA(
            slot->command.c_str(), capacity > 0 ? slot->reply.data() : nullptr, static_cast<UINT>(capacity), nullptr));
        if (InterlockedCompareExchange(&slot->state, SLOT_WAITING, SLOT_WORKING) == SLOT_LEFT) {
            freeSlot(slot);  // the caller gave up on this thread long ago
            return 0;
        }
        SetEvent(slot->answered);
    }
}

DeviceSlot* startDevice() {
    auto* slot = new DeviceSlot;
    slot->request = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    slot->answered = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = slot->request && slot->answered ? CreateThread(nullptr, 0, &runDevice, slot, 0, nullptr) : nullptr;
    if (!thread) {
        if (slot->request) CloseHandle(slot->request);
        if (slot->answered) CloseHandle(slot->answered);
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
    slot->command = command ? command : "";
    slot->reply.assign(reply, reply + capacity);
    slot->state = SLOT_WORKING;
    SetEvent(slot->request);
    const DWORD bound = static_cast<DWORD>(commandBoundMs(command));
    if (WaitForSingleObject(slot->answered, bound) != WAIT_OBJECT_0) {
        if (InterlockedCompareExchange(&slot->state, SLOT_LEFT, SLOT_WORKING) == SLOT_WORKING) {
            device = nullptr;  // stuck: left behind with its tracks
            ++w32::services().devicesLeft;
            return MEDIA_NOT_ANSWERING;
        }
        WaitForSingleObject(slot->answered, INFINITE);  // it answered just now
    }
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
