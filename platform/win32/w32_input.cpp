// The window procedures and the one non-blocking poll: system messages become
// the loop's event values; the pointer and key state.
#include "platform/gui.h"
#include "platform/win32/w32_state.h"

namespace platform::w32 {

static void report(int lastEvent, int eventType, int eventSource) {
    services().report = DispatchReport{true, lastEvent, eventType, eventSource};
}

// Control notifications carry the control's Win32 id; menus choose items with no control handle.
static void translateCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    if (lParam == 0) {
        if (code == 0) {
            report(EVENT_MENU, EVENT_TYPE_NONE, id);
        }
        return;
    }
    int number = id - CONTROL_ID_BASE;
    ControlEntry* entry = control(number);
    if (entry == nullptr || entry->handle != reinterpret_cast<HWND>(lParam)) {
        return;
    }
    if (entry->isList) {
        if (code == LBN_SELCHANGE) report(EVENT_CONTROL, EVENT_LEFT_CLICK, number);
        if (code == LBN_DBLCLK) report(EVENT_CONTROL, EVENT_LEFT_DOUBLE_CLICK, number);
    } else {
        if (code == STN_CLICKED) report(EVENT_CONTROL, EVENT_LEFT_CLICK, number);
        if (code == STN_DBLCLK) report(EVENT_CONTROL, EVENT_LEFT_DOUBLE_CLICK, number);
    }
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == saveRequestMessage()) {
        // Sent by a newer copy of the player before it ends this one.
        runSaveRequest(wParam);
        return 1;
    }
    switch (message) {
    case WM_COMMAND:
        translateCommand(wParam, lParam);
        return 0;
    case WM_CTLCOLORLISTBOX: {
        HWND list = reinterpret_cast<HWND>(lParam);
        ControlEntry* entry = control(GetDlgCtrlID(list) - CONTROL_ID_BASE);
        if (entry == nullptr || entry->handle != list) {
            break;
        }
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, entry->textColour);
        SetBkColor(dc, entry->backColour);
        return reinterpret_cast<LRESULT>(solidBrush(static_cast<Colour>(entry->backColour)));
    }
    case WM_DROPFILES:
        // Kept for the poll: a drop can also arrive while a modal wait (the
        // open-file dialog, the menu, the about box) runs its own message
        // loop, and its files must not be lost nor its handle left unfinished.
        services().pendingDrops.push_back(wParam);
        return 0;
    case WM_ENDSESSION:
        // Sent, not posted, and the process is ended right after it returns:
        // the player's own end-of-session work runs inside this call.
        if (wParam != FALSE) endSession();
        return 0;
    case WM_RUN_TASK:
        runHandedTask(lParam);
        return 0;
    case WM_CLOSE:
        // Only the player's close button ends it; a close request from the system is ignored.
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Picture controls report left clicks themselves; right clicks are caught here.
LRESULT CALLBACK pictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    int number = GetDlgCtrlID(hwnd) - CONTROL_ID_BASE;
    ControlEntry* entry = control(number);
    if (message == WM_RBUTTONUP) report(EVENT_CONTROL, EVENT_RIGHT_CLICK, number);
    if (message == WM_RBUTTONDBLCLK) report(EVENT_CONTROL, EVENT_RIGHT_DOUBLE_CLICK, number);
    if (entry == nullptr || entry->originalProc == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return CallWindowProcA(entry->originalProc, hwnd, message, wParam, lParam);
}

}  // namespace platform::w32

namespace platform {

namespace {

// The oldest drop the window procedure kept becomes the event, as the raw
// message would have been.
bool takePendingDrop(Event& event) {
    auto& drops = w32::services().pendingDrops;
    if (drops.empty()) return false;
    event.lastEvent = WM_DROPFILES;
    event.dropHandle = static_cast<std::uintptr_t>(drops.front());
    drops.erase(drops.begin());
    return true;
}

}  // namespace

void pollEvent(Event& event) {
    auto& s = w32::services();
    event.eventType = EVENT_TYPE_NONE;
    w32::forgetCursor();
    if (takePendingDrop(event)) return;
    MSG message = {};
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        event.lastEvent = EVENT_NONE;
        return;
    }
    s.report = w32::DispatchReport{};
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (message.message == WM_DROPFILES && takePendingDrop(event)) return;
    if (s.report.reported) {
        event.lastEvent = s.report.lastEvent;
        event.eventType = s.report.eventType;
        event.eventSource = s.report.eventSource;
        return;
    }
    event.lastEvent = static_cast<int>(message.message);
}

using w32::services;
using w32::windowHandle;

namespace w32 {
void forgetCursor() {
    services().cursorKnown = false;
    forgetPointerInWindow();
}
void forgetPointerInWindow() { services().pointerWindow = -1; }
}  // namespace w32

static bool readCursor(POINT& p) {
    auto& s = services();
    if (!s.cursorKnown) s.cursorKnown = GetCursorPos(&s.cursor) != FALSE;
    p = s.cursor;
    return s.cursorKnown;
}

// The pointer in a window's client area; both -1 outside it, and when that
// window does not exist (it may just have been closed).
static Point measurePointer(int window) {
    HWND handle = windowHandle(window);
    POINT p = {};
    RECT client = {};
    if (handle == nullptr || !readCursor(p) || !ScreenToClient(handle, &p) || !GetClientRect(handle, &client)) {
        return Point{-1, -1};
    }
    if (p.x < 0 || p.x > client.right || p.y < 0 || p.y > client.bottom) {
        return Point{-1, -1};
    }
    return Point{p.x, p.y};
}

Point pointerIn(int window) {
    auto& s = services();
    if (s.pointerWindow != window) {
        const Point p = measurePointer(window);
        s.pointerInWindow = POINT{p.x, p.y};
        s.pointerWindow = window;
    }
    return Point{s.pointerInWindow.x, s.pointerInWindow.y};
}

Point cursorPosition() {
    POINT p = {};
    readCursor(p);
    return Point{p.x, p.y};
}

bool keyPressed(int virtualKey) { return GetAsyncKeyState(virtualKey) != 0; }

}  // namespace platform
