// Starting and stopping the services, the process's command line, exit and pause, and libraries.

#include "platform/system.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/w32_state.h"

namespace platform {

using w32::services;

namespace {

bool runningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

void startServices() {
    auto& s = services();
    s.instance = GetModuleHandleA(nullptr);
    s.underWine = runningUnderWine();
    if (!s.classRegistered) {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &w32::windowProc;
        windowClass.hInstance = s.instance;
        windowClass.hIcon = LoadIconA(s.instance, MAKEINTRESOURCEA(APPLICATION_ICON));
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = w32::WINDOW_CLASS;
        s.classRegistered = RegisterClassExA(&windowClass) != 0;
    }
}

std::string commandLine() {
    const wchar_t* line = GetCommandLineW();
    return line != nullptr ? w32::toUtf8(line) : "";
}

// Everything left is released in dependency order: the drawing context before
// the windows, the windows before the pictures and brushes they show.
void stopServices() {
    auto& s = services();
    if (s.surface != nullptr) {
        ReleaseDC(s.surfaceWindow, s.surface);
        s.surface = nullptr;
        s.surfaceWindow = nullptr;
    }
    for (auto& [number, handle] : s.windows) {
        if (IsWindow(handle)) {
            DestroyWindow(handle);
        }
    }
    s.windows.clear();
    s.controls.clear();
    for (auto& [number, menu] : s.menus) {
        if (s.embeddedMenus.count(menu) == 0) {
            DestroyMenu(menu);
        }
    }
    s.menus.clear();
    s.embeddedMenus.clear();
    for (auto& [number, font] : s.fonts) DeleteObject(font);
    s.fonts.clear();
    for (auto& [number, image] : s.images) DeleteObject(image);
    s.images.clear();
    for (auto& [colour, brush] : s.brushes) DeleteObject(brush);
    s.brushes.clear();
    for (HANDLE file : s.files) {
        if (file != nullptr) CloseHandle(file);
    }
    s.files.clear();
    if (s.classRegistered) {
        UnregisterClassA(w32::WINDOW_CLASS, s.instance);
        s.classRegistered = false;
    }
}

void exitProcess(int code) { ExitProcess(static_cast<UINT>(code)); }

void sleepMs(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds < 0 ? 0 : milliseconds)); }

bool loadLibrary(int library, const std::string& path) {
    HMODULE module = LoadLibraryA(path.c_str());
    services().libraries[library] = module;
    return module != nullptr;
}

bool callLibraryFunction(int library, const char* name) {
    auto& libraries = services().libraries;
    auto found = libraries.find(library);
    if (found == libraries.end() || found->second == nullptr) {
        return false;
    }
    auto function = w32::exportedFunction<int (*)()>(found->second, name);
    if (function == nullptr) {
        return false;
    }
    function();
    w32::forgetCursor();
    return true;
}

}  // namespace platform
