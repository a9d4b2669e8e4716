// The one instance of the Win32 services' tables and lookups into them.
#include "platform/win32/w32_state.h"

namespace platform::w32 {

Win32Services& services() {
    static Win32Services state;
    return state;
}

// A window destroyed by the system (an owned window goes with its owner) leaves
// a stale entry; IsWindow keeps such entries from being used.
HWND windowHandle(int window) {
    auto& s = services();
    auto found = s.windows.find(window);
    if (found == s.windows.end() || !IsWindow(found->second)) {
        return nullptr;
    }
    return found->second;
}

ControlEntry* control(int number) {
    auto& s = services();
    auto found = s.controls.find(number);
    if (found == s.controls.end() || !IsWindow(found->second.handle)) {
        return nullptr;
    }
    return &found->second;
}

// Brushes are made once per colour and kept until the services stop.
HBRUSH solidBrush(Colour colour) {
    auto& s = services();
    auto found = s.brushes.find(colour);
    if (found != s.brushes.end()) {
        return found->second;
    }
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(colour));
    s.brushes[colour] = brush;
    return brush;
}

}  // namespace platform::w32
