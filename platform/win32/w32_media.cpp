// The media control interface, reached through the bridge when running under Wine.

#include "platform/system.h"
#include "platform/win32/w32_state.h"

#include <mmsystem.h>

namespace platform {

static int sendToDevice(const char* command, char* reply, int capacity) {
    return static_cast<int>(mciSendStringA(command, capacity > 0 ? reply : nullptr,
                                           capacity > 0 ? static_cast<UINT>(capacity) : 0, nullptr));
}

int mediaCommand(const char* command, char* reply, int capacity) {
    auto& s = w32::services();
    if (!s.underWine) {
        return sendToDevice(command, reply, capacity);
    }
    return media::sendThroughBridge(s.bridge, &sendToDevice, command, reply, capacity);
}

}  // namespace platform
