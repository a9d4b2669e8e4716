// Drawing straight onto the main window's held device context, and the fonts for it.
#include "platform/draw.h"
#include "platform/win32/w32_state.h"

namespace platform {

using w32::services;

void acquireDrawingSurface(int window) {
    auto& s = services();
    HWND handle = w32::windowHandle(window);
    if (handle == nullptr) {
        return;
    }
    if (s.surface != nullptr) {
        ReleaseDC(s.surfaceWindow, s.surface);
    }
    s.surfaceWindow = handle;
    s.surface = GetDC(handle);
    // Each text starts where the previous one ended, so a label and its value form one line.
    SetTextAlign(s.surface, TA_UPDATECP);
}

void fillBox(int x, int y, int width, int height, Colour colour) {
    auto& s = services();
    if (s.surface == nullptr || colour == NO_COLOUR) {
        return;
    }
    RECT box = {x, y, x + width, y + height};
    FillRect(s.surface, &box, w32::solidBrush(colour));
}

void plotPixel(int x, int y, Colour colour) {
    auto& s = services();
    if (s.surface == nullptr || colour == NO_COLOUR) {
        return;
    }
    SetPixelV(s.surface, x, y, static_cast<COLORREF>(colour));
}

void setTextPosition(int x, int y) {
    if (HDC dc = services().surface) {
        MoveToEx(dc, x, y, nullptr);
    }
}

void setTextColour(Colour colour) {
    if (HDC dc = services().surface) {
        SetTextColor(dc, static_cast<COLORREF>(colour));
    }
}

void setTextBackground(Colour colour) {
    if (HDC dc = services().surface) {
        SetBkColor(dc, static_cast<COLORREF>(colour));
        SetBkMode(dc, OPAQUE);
    }
}

void selectFont(int font) {
    auto& s = services();
    auto found = s.fonts.find(font);
    if (s.surface != nullptr && found != s.fonts.end()) {
        SelectObject(s.surface, found->second);
    }
}

// The position argument is ignored under TA_UPDATECP: the text goes to the current position.
void drawText(const char* text) {
    if (HDC dc = services().surface) {
        TextOutA(dc, 0, 0, text, lstrlenA(text));
    }
}

void createFont(int font, const char* face, int points, int weight) {
    auto& s = services();
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    int pixelsPerInch = display != nullptr ? GetDeviceCaps(display, LOGPIXELSY) : 96;
    if (display != nullptr) {
        DeleteDC(display);
    }
    HFONT handle =
        CreateFontA(-MulDiv(points, pixelsPerInch, 72), 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    auto old = s.fonts.find(font);
    if (old != s.fonts.end() && old->second != nullptr) {
        if (s.surface != nullptr) {
            SelectObject(s.surface, GetStockObject(SYSTEM_FONT));
        }
        DeleteObject(old->second);
    }
    s.fonts[font] = handle;
}

}  // namespace platform
