// The shell's services: web pages, the message box, the open-file dialog and dropped files.

#include "platform/system.h"
#include "platform/win32/w32_state.h"

#include <commdlg.h>
#include <shellapi.h>

namespace platform {

namespace {

constexpr DWORD OPEN_DIALOG_FLAGS =
    OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
static_assert(OPEN_DIALOG_FLAGS == 0x80A0C);

HDROP dropHandle(std::uintptr_t drop) { return reinterpret_cast<HDROP>(drop); }

}  // namespace

void openWebPage(const char* url) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.lpVerb = "open";
    info.lpFile = url;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

// The box belongs to the foreground window only when that window is the player's own.
void messageBox(const char* text, const char* title) {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground != nullptr) {
        GetWindowThreadProcessId(foreground, &process);
    }
    HWND owner = process == GetCurrentProcessId() ? foreground : nullptr;
    MessageBoxA(owner, text, title, 0);
}

bool openFileDialog(const char* filter, char* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) {
        return false;
    }
    // Descriptions and patterns are NUL-separated, the list ends in a double NUL.
    std::string filters = filter != nullptr ? filter : "";
    for (char& c : filters) {
        if (c == '|') c = '\0';
    }
    filters.append(2, '\0');
    buffer[0] = '\0';
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = w32::windowHandle(0);
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = static_cast<DWORD>(capacity);
    dialog.lpstrTitle = "";
    dialog.Flags = OPEN_DIALOG_FLAGS;
    return GetOpenFileNameA(&dialog) != 0;
}

bool dropPointInside(std::uintptr_t drop) {
    POINT point = {};
    return drop != 0 && DragQueryPoint(dropHandle(drop), &point) != 0;
}

int dropFileCount(std::uintptr_t drop) {
    return drop == 0 ? 0 : static_cast<int>(DragQueryFileA(dropHandle(drop), 0xFFFFFFFF, nullptr, 0));
}

std::string dropFilePath(std::uintptr_t drop, int index) {
    if (drop == 0 || index < 0) {
        return "";
    }
    UINT length = DragQueryFileA(dropHandle(drop), static_cast<UINT>(index), nullptr, 0) + 1;
    std::string path(length, '\0');
    UINT copied = DragQueryFileA(dropHandle(drop), static_cast<UINT>(index), path.data(), length);
    path.resize(copied < length ? copied : 0);
    return path;
}

void dropFinish(std::uintptr_t drop) {
    if (drop != 0) {
        DragFinish(dropHandle(drop));
    }
}

}  // namespace platform
