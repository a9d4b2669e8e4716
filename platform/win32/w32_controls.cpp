// Picture controls and the single-column list control.
#include "platform/draw.h"
#include "platform/gui.h"
#include "platform/win32/w32_state.h"

namespace platform {

using w32::services;

static HMENU controlId(int control) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(control + w32::CONTROL_ID_BASE));
}

bool addImageControl(int window, int control, int image, int x, int y, int width, int height) {
    auto& s = services();
    HWND parent = w32::windowHandle(window);
    if (parent == nullptr) {
        return false;
    }
    HWND handle = CreateWindowExA(0, "STATIC", nullptr, SS_BITMAP | SS_NOTIFY | WS_CHILD | WS_VISIBLE, x, y, width,
                                  height, parent, controlId(control), s.instance, nullptr);
    if (handle == nullptr) {
        return false;
    }
    auto picture = s.images.find(image);
    if (picture != s.images.end()) {
        SendMessageA(handle, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture->second));
    }
    w32::ControlEntry entry;
    entry.handle = handle;
    entry.originalProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(handle, GWLP_WNDPROC));
    s.controls[control] = entry;
    SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&w32::pictureProc));
    // Paint the picture now: left to the first message poll, the first paint
    // would come after the player has drawn into the window and cover it.
    RedrawWindow(parent, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return true;
}

bool addListControl(int window, int control, int x, int y, int width, int height, std::int32_t textColour,
                    std::int32_t backColour) {
    auto& s = services();
    HWND parent = w32::windowHandle(window);
    if (parent == nullptr) {
        return false;
    }
    DWORD style = WS_CHILD | WS_VISIBLE | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT;
    // A Unicode window, so that a row can show a name the code page cannot spell.
    HWND handle = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", style, x, y, width, height, parent,
                                  controlId(control), s.instance, nullptr);
    if (handle == nullptr) {
        return false;
    }
    // The sunken edge goes: the list sits flush inside the skinned frame.
    LONG_PTR exStyle = GetWindowLongPtrA(handle, GWL_EXSTYLE);
    SetWindowLongPtrA(handle, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    SetWindowPos(handle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    w32::ControlEntry entry;
    entry.handle = handle;
    entry.isList = true;
    entry.textColour = static_cast<COLORREF>(textColour);
    entry.backColour = static_cast<COLORREF>(backColour);
    s.controls[control] = entry;
    InvalidateRect(handle, nullptr, TRUE);
    return true;
}

// How long a list query from another thread waits for the list's own thread.
constexpr UINT OTHER_THREAD_WAIT_MS = 200;

static HWND listHandle(int control) {
    w32::ControlEntry* entry = w32::control(control);
    return entry != nullptr && entry->isList ? entry->handle : nullptr;
}

int listInsert(int control, int index, const std::string& text) {
    HWND list = listHandle(control);
    if (list == nullptr) {
        return LB_ERR;
    }
    return static_cast<int>(
        SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
}

int listInsertUtf8(int control, int index, const std::string& text) {
    HWND list = listHandle(control);
    if (list == nullptr) {
        return LB_ERR;
    }
    const std::wstring wide = w32::toWide(text);
    return static_cast<int>(
        SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.c_str())));
}

bool listDelete(int control, int index) {
    HWND list = listHandle(control);
    return list != nullptr && SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0) != LB_ERR;
}

int listCount(int control) {
    HWND list = listHandle(control);
    if (list == nullptr) {
        return 0;
    }
    // From another thread (the fatal path, once the loop's thread is stopped)
    // the list is asked with a time limit: a stopped thread never answers.
    LRESULT count = 0;
    if (GetWindowThreadProcessId(list, nullptr) == GetCurrentThreadId()) {
        count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    } else {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, OTHER_THREAD_WAIT_MS, &answer)) return -1;
        count = static_cast<LRESULT>(answer);
    }
    return count < 0 ? 0 : static_cast<int>(count);
}

int listSelected(int control) {
    HWND list = listHandle(control);
    return list == nullptr ? -1 : static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
}

}  // namespace platform
