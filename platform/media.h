// The media control interface: one text command, an optional reply buffer.
#pragma once

namespace platform {

int mediaCommand(const char* command, char* reply, int capacity);
// A command the device did not answer within its bound leaves that device
// behind: `hook` runs on the calling thread as the command returns.
void setDeviceLeftHook(void (*hook)(void* context), void* context);

}  // namespace platform
