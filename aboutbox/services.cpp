// Win32 implementation of the about box library's own services.
#include "aboutbox/services.h"

#include <cstring>

#include <windows.h>
#include <shellapi.h>

#include "aboutbox/jpeg_pixels.h"

namespace ravlet {

namespace {

constexpr const char* WINDOW_CLASS = "RavletAboutBox";
constexpr int CONTROL_SLOTS = 3;

// Everything the services own, made at attach and released at detach.
struct AboutServices {
    HINSTANCE instance = nullptr;
    HANDLE heap = nullptr;
    bool classRegistered = false;
    HBITMAP pictures[PICTURE_SLOTS] = {};
    HWND window = nullptr;
    HWND controls[CONTROL_SLOTS] = {};
    int lastEvent = EVENT_NONE;
    int eventSource = 0;
};

AboutServices services;

// Only records what happened; the loop in `about` decides what it means. The
// close request is not passed on, so the window lives until the loop closes it.
LRESULT CALLBACK aboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        services.lastEvent = EVENT_CLOSE;
        return 0;
    case WM_COMMAND:
        if ((HIWORD(wParam) == STN_CLICKED || HIWORD(wParam) == STN_DBLCLK) && services.lastEvent != EVENT_CLOSE) {
            services.lastEvent = EVENT_CONTROL;
            services.eventSource = LOWORD(wParam);
        }
        return 0;
    case WM_DESTROY:
        if (window == services.window) services.window = nullptr;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// A 24-bit top-down DIB section holding `pixels` (rows of `stride` bytes).
HBITMAP makeBitmap(const unsigned char* pixels, int width, int height, std::size_t stride) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(bits, pixels, stride * std::size_t(height));
    return bitmap;
}

}  // namespace

bool startServices(void* instance) {
    services = AboutServices{};
    services.instance = static_cast<HINSTANCE>(instance);
    services.heap = HeapCreate(0, 4096, 0);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = aboutWindowProc;
    windowClass.hInstance = services.instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = WINDOW_CLASS;
    services.classRegistered = RegisterClassA(&windowClass) != 0;
    return services.heap != nullptr && services.classRegistered;
}

void stopServices() {
    if (services.window) DestroyWindow(services.window);
    for (HBITMAP& picture : services.pictures) {
        if (picture) DeleteObject(picture);
        picture = nullptr;
    }
    if (services.classRegistered) UnregisterClassA(WINDOW_CLASS, services.instance);
    if (services.heap) HeapDestroy(services.heap);
    services = AboutServices{};
}

// The pixels are decoded into the private heap, then copied into a bitmap the
// picture controls can show.
bool loadPicture(int slot, const PictureStream& stream) {
    if (slot < 0 || slot >= PICTURE_SLOTS || !services.heap) return false;
    int width = 0;
    int height = 0;
    if (!readPictureSize(stream.bytes, stream.size, &width, &height) || width <= 0 || height <= 0) return false;
    std::size_t stride = pictureStride(width);
    auto* pixels = static_cast<unsigned char*>(HeapAlloc(services.heap, 0, stride * std::size_t(height)));
    if (!pixels) return false;
    if (decodePicture(stream.bytes, stream.size, pixels, width, height, stride)) {
        services.pictures[slot] = makeBitmap(pixels, width, height, stride);
    }
    HeapFree(services.heap, 0, pixels);
    return services.pictures[slot] != nullptr;
}

bool openWindow(const char* title, int x, int y, int clientWidth, int clientHeight) {
    if (services.window || !services.classRegistered) return false;
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&frame, WS_CAPTION, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    HWND window = CreateWindowExA(0, WINDOW_CLASS, title, WS_CAPTION, x, y, width, height, nullptr, nullptr,
                                  services.instance, nullptr);
    if (!window) return false;
    services.window = window;
    services.lastEvent = EVENT_NONE;
    services.eventSource = 0;
    int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, SW_SHOW);
    return true;
}

// Siblings clip each other so the background never paints over the buttons.
void addPicture(int controlId, int x, int y, int width, int height, int slot) {
    if (!services.window || controlId < 0 || controlId >= CONTROL_SLOTS) return;
    HWND control = CreateWindowExA(
        0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_BITMAP | SS_NOTIFY, x, y, width, height,
        services.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), services.instance, nullptr);
    services.controls[controlId] = control;
    if (control && slot >= 0 && slot < PICTURE_SLOTS && services.pictures[slot]) {
        SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(services.pictures[slot]));
    }
}

void closeWindow() {
    if (services.window) DestroyWindow(services.window);
    services.window = nullptr;
    for (HWND& control : services.controls) control = nullptr;
}

// A window destroyed behind the loop's back reads as a close request, so the
// modal loop can never outlive its window.
int pollEvent(int* source) {
    services.lastEvent = EVENT_NONE;
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (!services.window) services.lastEvent = EVENT_CLOSE;
    *source = services.eventSource;
    return services.lastEvent;
}

void sleepMilliseconds(int milliseconds) { Sleep(DWORD(milliseconds)); }

void openWebPage(const char* url) {
    SHELLEXECUTEINFOA request = {};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_FLAG_NO_UI;
    request.lpVerb = "open";
    request.lpFile = url;
    request.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&request);
}

}  // namespace ravlet
