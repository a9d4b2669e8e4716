// The shell's services: web pages, the message box, the open-file dialog and dropped files.

#include "platform/shell.h"
#include "platform/win32/w32_state.h"

#include <commdlg.h>
#include <shellapi.h>

namespace platform {

namespace {

constexpr DWORD OPEN_DIALOG_FLAGS =
    OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
static_assert(OPEN_DIALOG_FLAGS == 0x80A0C);

using OpenDialogFn = BOOL(WINAPI*)(OPENFILENAMEW* dialog);

// The dialog's library, with the control libraries it brings (some 1.6 MB of
// the player's memory), is loaded when the dialog first opens, from the
// system folder only; most runs never open it.
OpenDialogFn openDialogFunction() {
    static HMODULE library = LoadLibraryExA("comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return library != nullptr ? w32::exportedFunction<OpenDialogFn>(library, "GetOpenFileNameW") : nullptr;
}

}  // namespace

void openWebPage(const char* url) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.lpVerb = "open";
    info.lpFile = url;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

namespace {

BOOL CALLBACK disableEnabledWindow(HWND window, LPARAM disabled) {
    if (IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        reinterpret_cast<std::vector<HWND>*>(disabled)->push_back(window);
    }
    return TRUE;
}

}  // namespace

// The box belongs to the foreground window only when that window is the player's
// own and of this thread: disabling a window of a thread that is stopped would hang.
// It is modal for the whole player: every window of this thread is disabled
// while it is open (an owner alone would leave the other window live), and
// enabled again after.
void messageBox(const char* text, const char* title) {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    DWORD thread = 0;
    if (foreground != nullptr) {
        thread = GetWindowThreadProcessId(foreground, &process);
    }
    const bool ours = process == GetCurrentProcessId() && thread == GetCurrentThreadId();
    HWND owner = ours ? foreground : nullptr;
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), &disableEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    MessageBoxA(owner, text, title, 0);
    for (HWND window : disabled) EnableWindow(window, TRUE);
}

// The buffer comes back as NUL-ended entries closed by a second NUL: one full
// path, or the folder followed by the chosen names.
std::vector<std::string> openFileDialog(int owner, const char* filter, int capacity) {
    const OpenDialogFn openDialog = openDialogFunction();
    if (capacity <= 1 || openDialog == nullptr) {
        return {};
    }
    // Descriptions and patterns are NUL-separated, the list ends in a double NUL.
    std::wstring filters = w32::toWide(filter != nullptr ? filter : "");
    for (wchar_t& c : filters) {
        if (c == L'|') c = L'\0';
    }
    filters.append(2, L'\0');
    std::wstring buffer(static_cast<std::size_t>(capacity) + 1, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = w32::windowHandle(owner);
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(capacity);
    dialog.lpstrTitle = L"";
    dialog.Flags = OPEN_DIALOG_FLAGS;
    const bool accepted = openDialog(&dialog) != 0;
    w32::forgetCursor();
    if (!accepted) {
        return {};
    }
    std::vector<std::string> entries;
    for (std::size_t start = 0; start < buffer.size() && buffer[start] != L'\0';) {
        std::size_t end = buffer.find(L'\0', start);
        entries.push_back(w32::toUtf8(buffer.substr(start, end - start)));
        start = end + 1;
    }
    return entries;
}

DroppedFiles takeDroppedFiles(std::uintptr_t drop) {
    DroppedFiles dropped;
    if (drop == 0) {
        return dropped;
    }
    HDROP handle = reinterpret_cast<HDROP>(drop);
    POINT point = {};
    dropped.inside = DragQueryPoint(handle, &point) != 0;
    dropped.point = Point{point.x, point.y};
    UINT count = DragQueryFileW(handle, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileW(handle, i, nullptr, 0) + 1;
        std::wstring path(length, L'\0');
        UINT copied = DragQueryFileW(handle, i, path.data(), length);
        path.resize(copied < length ? copied : 0);
        dropped.paths.push_back(w32::toUtf8(path));
    }
    DragFinish(handle);
    return dropped;
}

}  // namespace platform
