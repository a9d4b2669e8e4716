// Bitmaps: decoding the built-in pictures and reading the skin files' pixels.
#include <cstring>
#include <vector>

#include "platform/draw.h"
#include "platform/win32/w32_state.h"

namespace platform {

namespace {

template <typename T>
T readStruct(const std::uint8_t* bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// Bytes of pixel data an uncompressed bitmap of this header needs; 0 when the header is unusable.
std::size_t pixelBytes(const BITMAPINFOHEADER& info) {
    if (info.biWidth <= 0 || info.biHeight == 0 || info.biPlanes != 1 || info.biCompression != BI_RGB ||
        (info.biBitCount != 24 && info.biBitCount != 32)) {
        return 0;
    }
    std::size_t width = static_cast<std::size_t>(info.biWidth);
    std::size_t height =
        static_cast<std::size_t>(info.biHeight < 0 ? -static_cast<long long>(info.biHeight) : info.biHeight);
    std::size_t stride = (width * info.biBitCount + 31) / 32 * 4;
    return stride * height;
}

}  // namespace

// The whole file must be present: headers, and as many pixel rows as the header promises.
bool decodeBitmap(int image, const std::uint8_t* bytes, std::size_t size) {
    auto& s = w32::services();
    constexpr std::size_t HEADERS = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    if (bytes == nullptr || size < HEADERS || bytes[0] != 'B' || bytes[1] != 'M') {
        return false;
    }
    auto file = readStruct<BITMAPFILEHEADER>(bytes);
    auto info = readStruct<BITMAPINFOHEADER>(bytes + sizeof(BITMAPFILEHEADER));
    std::size_t needed = pixelBytes(info);
    if (info.biSize < sizeof(BITMAPINFOHEADER) || needed == 0 || file.bfOffBits < HEADERS || file.bfOffBits > size ||
        size - file.bfOffBits < needed) {
        return false;
    }
    BITMAPINFO header = {};
    header.bmiHeader = info;
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap =
        CreateDIBitmap(screen, &header.bmiHeader, CBM_INIT, bytes + file.bfOffBits, &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr) {
        return false;
    }
    auto old = s.images.find(image);
    if (old != s.images.end() && old->second != nullptr) {
        DeleteObject(old->second);
    }
    s.images[image] = bitmap;
    return true;
}

// The picture's pixels are read in one call, as 32-bit colours top row first
// (one call per pixel took some 24,000 calls of every start).
void readBitmapPixels(const char* path, int width, int height, Colour* table) {
    if (table == nullptr || width <= 0 || height <= 0) {
        return;
    }
    for (int i = 0; i < width * height; ++i) {
        table[i] = NO_COLOUR;
    }
    auto bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (bitmap == nullptr) {
        return;
    }
    BITMAP shape = {};
    GetObjectA(bitmap, sizeof shape, &shape);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = shape.bmWidth;
    format.bmiHeader.biHeight = -shape.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> pixels(static_cast<std::size_t>(shape.bmWidth > 0 ? shape.bmWidth : 0) *
                                static_cast<std::size_t>(shape.bmHeight > 0 ? shape.bmHeight : 0));
    HDC screen = GetDC(nullptr);
    const int rows = pixels.empty() ? 0
                                    : GetDIBits(screen, bitmap, 0, static_cast<UINT>(shape.bmHeight), pixels.data(),
                                                &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    for (int x = 0; x < width && x < shape.bmWidth; ++x) {
        for (int y = 0; y < height && y < rows; ++y) {
            const RGBQUAD& p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(shape.bmWidth) + x];
            table[x * height + y] = static_cast<Colour>(RGB(p.rgbRed, p.rgbGreen, p.rgbBlue));
        }
    }
}

}  // namespace platform
