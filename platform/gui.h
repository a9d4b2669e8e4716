// Windows, controls, the event poll, pointer and key state, lists and menus.
// Everything is addressed by small program-chosen numbers; no system types leak out.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Values of the one event poll per pass.
constexpr int EVENT_NONE = 0;
constexpr int EVENT_CONTROL = 13100;
constexpr int EVENT_MENU = 13101;
constexpr int EVENT_DROP_FILES = 563;  // the raw message number for dropped files

constexpr int EVENT_TYPE_NONE = -1;
constexpr int EVENT_LEFT_CLICK = 0;  // for a list: selection changed
constexpr int EVENT_RIGHT_CLICK = 1;
constexpr int EVENT_LEFT_DOUBLE_CLICK = 2;
constexpr int EVENT_RIGHT_DOUBLE_CLICK = 3;

// The result of the most recent poll. `eventSource` keeps the id of the last
// control or menu event across polls; `eventType` is reset by every poll.
struct Event {
    int lastEvent = EVENT_NONE;
    int eventType = EVENT_TYPE_NONE;
    int eventSource = 0;
    std::uintptr_t dropHandle = 0;  // the files dropped, with EVENT_DROP_FILES
};

// Takes at most one pending message without waiting and updates `event`.
void pollEvent(Event& event);

struct WindowLayout {
    const char* title = "";
    int x = 0;
    int y = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    int owner = -1;  // window number of the owner, -1 for none
    bool visible = true;
};

struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct Point {
    int x = 0;
    int y = 0;
};

// Borderless popup windows (no caption, no border).
bool openWindow(int window, const WindowLayout& layout);
bool windowExists(int window);
void closeWindow(int window);
bool windowVisible(int window);  // shown itself, whatever its owner is doing
void hideWindow(int window);
void showWindowNormal(int window);
void activateWindow(int window);
void setForegroundWindow(int window);
void minimiseWindow(int window);
void moveWindow(int window, int x, int y);
void setTopmost(int window, bool topmost);
WindowRect windowRect(int window);  // screen position and outer size
Point clientSize(int window);
void acceptDroppedFiles(int window);

int screenWidth();
int screenHeight();

// An image control showing decoded image `image` (see draw.h).
bool addImageControl(int window, int control, int image, int x, int y, int width, int height);

// The pointer's position in `window`'s client area; {-1, -1} outside it
// (0 to width and 0 to height, both included) or when there is no such window.
Point pointerIn(int window);
Point cursorPosition();  // screen coordinates

// Non-zero asynchronous key state: down now, or pressed since the last query.
bool keyPressed(int virtualKey);
constexpr int VK_LEFT_BUTTON = 1;  // the left mouse button's virtual-key code

// Single-column list control.
bool addListControl(int window, int control, int x, int y, int width, int height, std::int32_t textColour,
                    std::int32_t backColour);
int listInsert(int control, int index, const std::string& text);  // index -1 appends
// The same for a text in UTF-8: a name the code page cannot spell.
int listInsertUtf8(int control, int index, const std::string& text);
bool listDelete(int control, int index);  // false when the list kept the row (LB_ERR)
int listCount(int control);               // 0 when the control does not exist, -1 when its thread does not answer
int listSelected(int control);            // -1 for none

// Popup menus and their check marks.
void createPopupMenu(int menu);
void appendMenuItem(int menu, int item, const char* text);
void appendMenuSeparator(int menu);
void appendSubmenu(int menu, int submenu, const char* text);
void setMenuCheck(int menu, int item, bool checked);
void showPopupMenu(int menu, int ownerWindow, int screenX, int screenY);

}  // namespace platform
