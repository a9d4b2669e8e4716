// Draws the about box's artwork and writes its three baseline JPEG pictures
// (download button, close button, background) with libjpeg's compressor.
// Usage: make_about_pictures <output folder>   (build target make_about_pictures)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

// The background picture sits at (-3,-4) in the 375 x 196 client area.
constexpr int CANVAS_WIDTH = 383;
constexpr int CANVAS_HEIGHT = 202;
constexpr int CLIENT_X = 3;
constexpr int CLIENT_Y = 4;
constexpr int CLIENT_WIDTH = 375;
constexpr int CLIENT_HEIGHT = 196;
constexpr int JPEG_QUALITY = 92;

struct Rgb {
    int r, g, b;
};

struct Canvas {
    int width = CANVAS_WIDTH;
    int height = CANVAS_HEIGHT;
    std::vector<Rgb> pixels = std::vector<Rgb>(CANVAS_WIDTH * CANVAS_HEIGHT);
};

struct Glyph {
    char c;
    std::uint8_t rows[7];
};

// A 5 x 7 pixel font; bit 4 is the leftmost column.
constexpr Glyph FONT[] = {
    {' ', {0, 0, 0, 0, 0, 0, 0}},
    {'A', {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'a', {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F}},
    {'b', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E}},
    {'c', {0x00, 0x00, 0x0E, 0x10, 0x10, 0x11, 0x0E}},
    {'d', {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F}},
    {'e', {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E}},
    {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}},
    {'g', {0x00, 0x0F, 0x11, 0x11, 0x0F, 0x01, 0x0E}},
    {'h', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'i', {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E}},
    {'j', {0x02, 0x00, 0x06, 0x02, 0x02, 0x12, 0x0C}},
    {'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12}},
    {'l', {0x0C, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'m', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11}},
    {'n', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'o', {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E}},
    {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}},
    {'q', {0x00, 0x00, 0x0D, 0x13, 0x0F, 0x01, 0x01}},
    {'r', {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}},
    {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}},
    {'t', {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06}},
    {'u', {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D}},
    {'v', {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'w', {0x00, 0x00, 0x11, 0x11, 0x15, 0x15, 0x0A}},
    {'x', {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11}},
    {'y', {0x00, 0x00, 0x11, 0x11, 0x0F, 0x01, 0x0E}},
    {'z', {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {'\'', {0x0C, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00}},
    {'&', {0x0C, 0x12, 0x14, 0x08, 0x15, 0x12, 0x0D}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x00, 0x00, 0x04}},
};

const Glyph* findGlyph(char c) {
    for (const Glyph& glyph : FONT) {
        if (glyph.c == c) return &glyph;
    }
    return &FONT[0];
}

int clampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

Rgb mix(Rgb a, Rgb b, double t) {
    return {int(std::lround(a.r + (b.r - a.r) * t)), int(std::lround(a.g + (b.g - a.g) * t)),
            int(std::lround(a.b + (b.b - a.b) * t))};
}

void putPixel(Canvas& canvas, int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
    canvas.pixels[y * canvas.width + x] = colour;
}

Rgb getPixel(const Canvas& canvas, int x, int y) { return canvas.pixels[y * canvas.width + x]; }

// Blends towards `colour` so drawing keeps the metal grain underneath.
void blendPixel(Canvas& canvas, int x, int y, Rgb colour, double alpha) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
    putPixel(canvas, x, y, mix(getPixel(canvas, x, y), colour, alpha));
}

// Fixed-seed generator so every run draws the same grain.
std::uint32_t nextRandom(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// Dark brushed metal: a vertical shade with horizontal streaks.
void drawMetal(Canvas& canvas) {
    std::uint32_t seed = 20240611u;
    std::vector<double> streak(canvas.width);
    for (int y = 0; y < canvas.height; ++y) {
        double rowTone = double(nextRandom(seed) % 9) - 4.0;
        for (int x = 0; x < canvas.width; ++x) {
            double grain = double(nextRandom(seed) % 7) - 3.0;
            streak[x] = y == 0 ? grain : streak[x] * 0.55 + grain * 0.45;
        }
        double shade = double(y) / canvas.height;
        Rgb base = mix(Rgb{78, 82, 90}, Rgb{34, 36, 41}, shade);
        for (int x = 0; x < canvas.width; ++x) {
            double sheen = 10.0 * std::exp(-std::pow((x - 120.0) / 140.0, 2.0)) * (1.0 - shade);
            int delta = int(std::lround(rowTone * 0.6 + streak[x] * 0.8 + sheen));
            putPixel(canvas, x, y, {clampByte(base.r + delta), clampByte(base.g + delta), clampByte(base.b + delta)});
        }
    }
}

// Raised (light top-left) or sunken (dark top-left) one-pixel edges.
void drawBevel(Canvas& canvas, int x0, int y0, int x1, int y1, bool raised, double strength) {
    Rgb light{220, 226, 235};
    Rgb dark{6, 7, 9};
    Rgb topLeft = raised ? light : dark;
    Rgb bottomRight = raised ? dark : light;
    for (int x = x0; x <= x1; ++x) {
        blendPixel(canvas, x, y0, topLeft, strength);
        blendPixel(canvas, x, y1, bottomRight, strength);
    }
    for (int y = y0 + 1; y < y1; ++y) {
        blendPixel(canvas, x0, y, topLeft, strength);
        blendPixel(canvas, x1, y, bottomRight, strength);
    }
}

void fillBox(Canvas& canvas, int x0, int y0, int x1, int y1, Rgb top, Rgb bottom) {
    for (int y = y0; y <= y1; ++y) {
        Rgb colour = mix(top, bottom, y1 == y0 ? 0.0 : double(y - y0) / (y1 - y0));
        for (int x = x0; x <= x1; ++x) putPixel(canvas, x, y, colour);
    }
}

int textWidth(const std::string& text, int scale) { return int(text.size()) * 6 * scale - scale; }

// Draws text with the pixel font; `top`/`bottom` give a vertical colour ramp.
void drawText(Canvas& canvas, int x, int y, const std::string& text, int scale, Rgb top, Rgb bottom, bool bold) {
    int height = 7 * scale;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph* glyph = findGlyph(text[i]);
        int gx = x + int(i) * 6 * scale;
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (!(glyph->rows[row] & (0x10 >> col))) continue;
                for (int sy = 0; sy < scale; ++sy) {
                    int py = y + row * scale + sy;
                    Rgb colour = mix(top, bottom, double(py - y) / (height - 1 > 0 ? height - 1 : 1));
                    for (int sx = 0; sx < scale + (bold ? 1 : 0); ++sx)
                        putPixel(canvas, gx + col * scale + sx, py, colour);
                }
            }
        }
    }
}

void drawShadowedText(Canvas& canvas, int x, int y, const std::string& text, int scale, Rgb top, Rgb bottom,
                      bool bold) {
    Rgb shadow{8, 9, 11};
    drawText(canvas, x + 1, y + 1, text, scale, shadow, shadow, bold);
    drawText(canvas, x, y, text, scale, top, bottom, bold);
}

// A level-meter emblem in the header, like the player's display.
void drawMeter(Canvas& canvas, int x0, int y0) {
    const int levels[] = {5, 8, 11, 9, 12, 10, 7, 9, 6, 4, 6, 3};
    int bars = int(sizeof levels / sizeof levels[0]);
    fillBox(canvas, x0 - 4, y0 - 4, x0 + bars * 6 + 2, y0 + 12 * 3 + 2, Rgb{12, 18, 20}, Rgb{18, 26, 28});
    drawBevel(canvas, x0 - 5, y0 - 5, x0 + bars * 6 + 3, y0 + 12 * 3 + 3, false, 0.55);
    for (int b = 0; b < bars; ++b) {
        for (int step = 0; step < 12; ++step) {
            int y = y0 + (11 - step) * 3;
            bool lit = step < levels[b];
            Rgb colour = step >= 10 ? Rgb{240, 170, 70} : Rgb{110, 225, 205};
            Rgb cell = lit ? colour : mix(Rgb{18, 26, 28}, colour, 0.16);
            fillBox(canvas, x0 + b * 6, y, x0 + b * 6 + 4, y + 1, cell, cell);
        }
    }
}

// A metal push button with a centred label and, if `arrow`, a download arrow.
void drawButton(Canvas& canvas, int x0, int y0, int x1, int y1, const std::string& label, bool arrow) {
    fillBox(canvas, x0 - 1, y0 - 1, x1 + 1, y1 + 1, Rgb{10, 11, 13}, Rgb{10, 11, 13});
    fillBox(canvas, x0, y0, x1, y1, Rgb{128, 134, 144}, Rgb{62, 66, 74});
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if ((x * 7 + y * 3) % 11 == 0) blendPixel(canvas, x, y, Rgb{160, 166, 176}, 0.12);
        }
    }
    drawBevel(canvas, x0, y0, x1, y1, true, 0.55);
    drawBevel(canvas, x0 + 1, y0 + 1, x1 - 1, y1 - 1, true, 0.18);
    int iconWidth = arrow ? 11 : 0;
    int width = iconWidth + textWidth(label, 1) + 1;
    int x = (x0 + x1 + 1 - width) / 2;
    int y = (y0 + y1 + 1 - 7) / 2;
    Rgb ink{246, 248, 250};
    if (arrow) {
        Rgb shadow{14, 15, 18};
        for (int pass = 0; pass < 2; ++pass) {
            Rgb colour = pass == 0 ? shadow : Rgb{150, 235, 215};
            int ox = x + (pass == 0 ? 1 : 0);
            int oy = y + (pass == 0 ? 1 : 0) - 1;
            fillBox(canvas, ox + 2, oy, ox + 4, oy + 4, colour, colour);
            for (int row = 0; row < 4; ++row) {
                for (int col = row; col <= 6 - row; ++col) putPixel(canvas, ox + col, oy + 5 + row, colour);
            }
        }
    }
    drawShadowedText(canvas, x + iconWidth, y, label, 1, ink, Rgb{206, 212, 220}, true);
}

void drawAboutBox(Canvas& canvas) {
    drawMetal(canvas);
    const int cx = CLIENT_X;
    const int cy = CLIENT_Y;
    const int right = cx + CLIENT_WIDTH - 1;
    const int bottom = cy + CLIENT_HEIGHT - 1;

    drawBevel(canvas, cx, cy, right, bottom, true, 0.45);
    drawBevel(canvas, cx + 3, cy + 3, right - 3, bottom - 3, false, 0.35);

    Rgb titleTop{236, 244, 250};
    Rgb titleBottom{120, 200, 214};
    drawShadowedText(canvas, cx + 16, cy + 13, "Tunewell", 4, titleTop, titleBottom, false);
    drawShadowedText(canvas, cx + 18, cy + 47, "Version 1.0   MP3 / WAV / OGG / MIDI", 1, Rgb{190, 196, 204},
                     Rgb{160, 166, 176}, false);
    drawMeter(canvas, cx + 276, cy + 14);

    for (int x = cx + 10; x <= right - 10; ++x) {
        blendPixel(canvas, x, cy + 62, Rgb{6, 7, 9}, 0.7);
        blendPixel(canvas, x, cy + 63, Rgb{200, 206, 214}, 0.25);
    }

    int px0 = cx + 14, py0 = cy + 72, px1 = right - 14, py1 = cy + 139;
    fillBox(canvas, px0, py0, px1, py1, Rgb{12, 19, 21}, Rgb{20, 30, 32});
    drawBevel(canvas, px0 - 1, py0 - 1, px1 + 1, py1 + 1, false, 0.7);
    Rgb lcd{128, 226, 206};
    Rgb lcdDim{86, 170, 156};
    const char* lines[] = {
        "A small skinned audio player for your desktop.",
        "Design and programming: the Varnel team.",
        "Based in part on the work of the Independent",
        "JPEG Group.  Thanks to all our testers!",
        "(c) Varnel.  All rights reserved.",
    };
    for (int i = 0; i < 5; ++i) {
        Rgb ink = i == 0 ? lcd : lcdDim;
        drawText(canvas, px0 + 8, py0 + 8 + i * 11, lines[i], 1, ink, ink, false);
    }

    drawShadowedText(canvas, cx + 18, cy + 162, "www.varnel.example", 1, Rgb{170, 176, 186}, Rgb{140, 146, 156}, false);
    drawButton(canvas, cx + 186, cy + 157, cx + 284, cy + 187, "Download", true);
    drawButton(canvas, cx + 296, cy + 157, cx + 361, cy + 187, "Close", false);
}

// Writes a crop of the canvas as baseline JFIF, 8-bit, three components, 1x1 sampling.
bool writeJpeg(const Canvas& canvas, int x0, int y0, int width, int height, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, JPEG_QUALITY, TRUE);
    cinfo.optimize_coding = TRUE;
    for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(std::size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb p = getPixel(canvas, x0 + x, y0 + y);
            row[x * 3] = JSAMPLE(p.r);
            row[x * 3 + 1] = JSAMPLE(p.g);
            row[x * 3 + 2] = JSAMPLE(p.b);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    Canvas canvas;
    drawAboutBox(canvas);
    // The buttons are cut from the finished box so their edges match the background.
    bool ok = writeJpeg(canvas, CLIENT_X + 180, CLIENT_Y + 150, 112, 46, folder + "/download.jpg") &&
              writeJpeg(canvas, CLIENT_X + 290, CLIENT_Y + 153, 75, 41, folder + "/close.jpg") &&
              writeJpeg(canvas, 0, 0, CANVAS_WIDTH, CANVAS_HEIGHT, folder + "/background.jpg");
    if (!ok) {
        std::fprintf(stderr, "make_about_pictures: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
