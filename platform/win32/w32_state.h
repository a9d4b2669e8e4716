// The Win32 services' process-wide tables: every program number mapped to its system handle.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/win32/media_bridge.h"

namespace platform::w32 {

// Controls carry Win32 ids offset from their program numbers so that control 0
// never collides with the id 0 that menus and plain windows report.
constexpr int CONTROL_ID_BASE = 1000;
constexpr const char* WINDOW_CLASS = "TunewellWindow";

struct ControlEntry {
    HWND handle = nullptr;
    bool isList = false;
    WNDPROC originalProc = nullptr;  // the picture control's own procedure, before subclassing
    COLORREF textColour = 0;
    COLORREF backColour = 0;
};

// What the window procedure saw during one dispatch; pollEvent turns it into the event values.
struct DispatchReport {
    bool reported = false;
    int lastEvent = 0;
    int eventType = -1;
    int eventSource = 0;
};

// A media device thread and the command it works on (w32_media.cpp).
struct DeviceSlot;

struct Win32Services {
    HINSTANCE instance = nullptr;
    bool classRegistered = false;
    bool underWine = false;
    std::map<int, HWND> windows;
    std::map<int, ControlEntry> controls;
    std::map<int, HMENU> menus;
    std::set<HMENU> embeddedMenus;  // submenus, destroyed with the menu holding them
    std::map<int, HBITMAP> images;
    std::map<int, HFONT> fonts;
    std::map<int, HMODULE> libraries;
    std::vector<HANDLE> files;  // index = file number; nullptr marks a free number
    // Other processes, index = handle number; nullptr marks a free number.
    std::vector<HANDLE> processes;
    std::map<Colour, HBRUSH> brushes;
    HWND surfaceWindow = nullptr;
    HDC surface = nullptr;
    // The pointer's screen position, read once between two event polls: the
    // loop asks for it a dozen times a pass, and under Wine every read with a
    // resting pointer is a round trip to the X server.
    bool cursorKnown = false;
    POINT cursor = {};
    // And where it lies in the client area of the window last measured against
    // (the hover tests ask a dozen times a pass); -1 when not worked out since
    // the pointer was read or a window of the player moved.
    int pointerWindow = -1;
    POINT pointerInWindow = {};
    DispatchReport report;
    std::vector<WPARAM> pendingDrops;  // drop handles the window procedure took, oldest first
    media::BridgeState bridge;
    DeviceSlot* mediaDevice = nullptr;  // the thread the next media command goes to; none before the first
};

Win32Services& services();
// After a modal wait (a popup menu, a dialog, the about box) the pointer has
// moved on: the next query reads it afresh.
void forgetCursor();
// A window moved, was shown, hidden or minimised: the pointer's client
// position is worked out afresh.
void forgetPointerInWindow();

// Library exports come back as one generic pointer type; the detour through
// void(*)() keeps the compiler from flagging the cast to the real signature.
template <typename Fn>
Fn exportedFunction(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// UTF-8 and the system's UTF-16, both ways, and a code page's exact spelling
// of a text: the system code page's, or the one given.
std::wstring toWide(const std::string& utf8);
std::string toUtf8(const std::wstring& wide);
bool spellInCodePage(const std::wstring& wide, std::string& bytes);
bool spellInCodePage(unsigned codePage, const std::wstring& wide, std::string& bytes);

HWND windowHandle(int window);      // nullptr when the window is gone or never existed
ControlEntry* control(int number);  // nullptr when the control is gone or never existed
HBRUSH solidBrush(Colour colour);
LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK pictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Work handed to the loop's thread (runOnLoopThread) arrives as this sent message.
constexpr UINT WM_RUN_TASK = WM_APP + 1;
void runHandedTask(LPARAM task);
// The system ends the session: the player's hook runs before the process is ended.
void endSession();
// A newer copy of the player asks this one to save: a message of the copies'
// own, registered by name, whose first parameter is the asking process's ID.
constexpr const char* SAVE_REQUEST_MESSAGE = "Tunewell.SaveRequest";
UINT saveRequestMessage();
void runSaveRequest(WPARAM requester);

}  // namespace platform::w32
