// Borderless popup windows, their geometry and the screen's size.
#include "platform/gui.h"
#include "platform/win32/w32_state.h"

namespace platform {

using w32::services;
using w32::windowHandle;

bool openWindow(int window, const WindowLayout& layout) {
    auto& s = services();
    w32::forgetPointerInWindow();
    if (HWND old = windowHandle(window)) {
        DestroyWindow(old);
    }
    s.windows.erase(window);
    DWORD style = WS_POPUP | (layout.visible ? WS_VISIBLE : 0);
    RECT outer = {0, 0, layout.clientWidth, layout.clientHeight};
    AdjustWindowRect(&outer, style, FALSE);
    HWND owner = layout.owner >= 0 ? windowHandle(layout.owner) : nullptr;
    HWND handle =
        CreateWindowExA(0, w32::WINDOW_CLASS, layout.title, style, layout.x, layout.y, outer.right - outer.left,
                        outer.bottom - outer.top, owner, nullptr, s.instance, nullptr);
    if (handle == nullptr) {
        return false;
    }
    s.windows[window] = handle;
    return true;
}

bool windowExists(int window) { return windowHandle(window) != nullptr; }

void closeWindow(int window) {
    w32::forgetPointerInWindow();
    if (HWND handle = windowHandle(window)) {
        DestroyWindow(handle);
    }
    services().windows.erase(window);
}

bool windowVisible(int window) {
    HWND handle = windowHandle(window);
    return handle != nullptr && (GetWindowLongA(handle, GWL_STYLE) & WS_VISIBLE) != 0;
}

void hideWindow(int window) {
    w32::forgetPointerInWindow();
    if (HWND handle = windowHandle(window)) {
        ShowWindow(handle, SW_HIDE);
    }
}

void showWindowNormal(int window) {
    w32::forgetPointerInWindow();
    if (HWND handle = windowHandle(window)) {
        ShowWindow(handle, SW_SHOWNORMAL);
    }
}

void activateWindow(int window) {
    if (HWND handle = windowHandle(window)) {
        SetActiveWindow(handle);
    }
}

void setForegroundWindow(int window) {
    if (HWND handle = windowHandle(window)) {
        SetForegroundWindow(handle);
    }
}

void minimiseWindow(int window) {
    w32::forgetPointerInWindow();
    if (HWND handle = windowHandle(window)) {
        ShowWindow(handle, SW_SHOWMINIMIZED);
    }
}

void moveWindow(int window, int x, int y) {
    w32::forgetPointerInWindow();
    if (HWND handle = windowHandle(window)) {
        SetWindowPos(handle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
}

void setTopmost(int window, bool topmost) {
    if (HWND handle = windowHandle(window)) {
        SetWindowPos(handle, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    }
}

WindowRect windowRect(int window) {
    RECT r = {};
    if (HWND handle = windowHandle(window)) {
        GetWindowRect(handle, &r);
    }
    return WindowRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Point clientSize(int window) {
    RECT r = {};
    if (HWND handle = windowHandle(window)) {
        GetClientRect(handle, &r);
    }
    return Point{r.right, r.bottom};
}

void acceptDroppedFiles(int window) {
    if (HWND handle = windowHandle(window)) {
        DragAcceptFiles(handle, TRUE);
    }
}

int screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int screenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

}  // namespace platform
