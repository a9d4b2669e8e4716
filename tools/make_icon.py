#!/usr/bin/env python3
"""Draws brumby.exe's application icon in the face's theme: a small brushed-metal
plate with the information strip's light display and a lit play button.

Re-run from the repository root (Python 3, standard library only):

    python3 tools/make_icon.py

It writes assets/brumby.ico (16, 32, 48 and 256 pixel images; the three small
ones as 32-bit bitmaps, which every Windows version reads, the large one as
PNG, as Windows Vista and later expect) and assets/preview/icon.png (the four
images side by side on a light ground). The output is deterministic.
"""

import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from raster import Canvas, blend, mix, png_bytes, polygon, rect, rounded_rect, solid, vertical  # noqa: E402
from make_skin import (ACCENT, ASSETS, CAP_LIT_BOTTOM, CAP_LIT_TOP, EDGE, GLOW, HIGHLIGHT,  # noqa: E402
                       INFO_BACKGROUND, SHADOW, SYMBOL_LIT, brushed_metal)

SIZES = (16, 32, 48, 256)
PNG_FROM = 256            # images this large are stored as PNG
PREVIEW_GROUND = (236, 236, 236)


class Icon:
    """One square image: colours plus a coverage (alpha) plane of the same size."""

    def __init__(self, size):
        self.size = size
        self.colour = Canvas(size, size, EDGE)
        self.cover = Canvas(size, size)

    def rgba(self):
        return [(*self.colour.pixels[i], self.cover.pixels[i][0]) for i in range(self.size * self.size)]


def at(size, fraction):
    """A position given as a fraction of the icon, snapped to a pixel."""
    return int(round(fraction * size))


def sine(canvas, x0, x1, mid, amplitude, period, colour, thickness):
    """The brand's sine trace, as thick as the size allows."""
    for x in range(x0, x1 + 1):
        fy = mid + amplitude * math.sin((x - x0) * 2 * math.pi / period)
        for step in range(thickness):
            y = int(fy) + step
            frac = fy - int(fy)
            blend(canvas, x, y, colour, 1 - frac if step == 0 else 1.0)
            blend(canvas, x, y + 1, colour, frac)


def draw_icon(size):
    """The icon at one size; every shape is placed in fractions of the size so the four images agree."""
    icon = Icon(size)
    c = icon.colour
    rim = max(1, size // 40)
    line = max(1, round(size / 64))
    radius = size * 0.19

    # The plate: a dark rim round brushed metal, with the face's bevel light along the top.
    rounded_rect(icon.cover, 0, 0, size - 1, size - 1, radius, solid((255, 255, 255)))
    metal = Canvas(size, size)
    brushed_metal(metal, 1000 + size)
    rounded_rect(c, rim, rim, size - 1 - rim, size - 1 - rim, radius - rim, metal.get)
    rect(c, at(size, 0.2), rim, size - 1 - at(size, 0.2), rim + line - 1, HIGHLIGHT, 0.55)

    # The information strip: a light display pressed into the plate.
    x0, y0, x1, y1 = at(size, 0.16), at(size, 0.14), size - 1 - at(size, 0.16), at(size, 0.34) - 1
    rect(c, x0 - line, y0 - line, x1 + line, y0 - 1, SHADOW, 0.9)
    rect(c, x0 - line, y0, x0 - 1, y1, SHADOW, 0.9)
    rect(c, x0, y1 + 1, x1 + line, y1 + line, HIGHLIGHT, 0.7)
    rect(c, x0 - line, y1 + 1, x0 - 1, y1 + line, mix(SHADOW, HIGHLIGHT, 0.5), 0.8)
    rect(c, x0, y0, x1, y1, INFO_BACKGROUND)
    if size >= 32:
        sine(c, x0 + 2 * line, x1 - 2 * line, (y0 + y1) / 2 - size * 0.015, size * 0.04, size * 0.22,
             mix(ACCENT, SHADOW, 0.45), max(1, size // 64))

    # The play button, lit as under the pointer: a glowing cap with the light symbol.
    bx0, by0, bx1, by1 = at(size, 0.2), at(size, 0.44), size - 1 - at(size, 0.2), size - 1 - at(size, 0.12)
    cap_radius = max(size * 0.09, 1.0)
    rounded_rect(c, bx0 - line, by0 - line, bx1 + line, by1 + line, cap_radius + line, solid(GLOW), 0.55)
    # At 16 pixels the glow alone outlines the cap, leaving room for the symbol.
    edge = line if size >= 32 else 0
    rounded_rect(c, bx0, by0, bx1, by1, cap_radius, solid(EDGE))
    rounded_rect(c, bx0 + edge, by0 + edge, bx1 - edge, by1 - edge, max(cap_radius - edge, 0.5),
                 vertical(CAP_LIT_TOP, CAP_LIT_BOTTOM, by0 + edge, by1 - edge))
    if size >= 32:
        rect(c, bx0 + 2 * line, by0 + line, bx1 - 2 * line, by0 + 2 * line - 1, (200, 206, 218), 0.7)
    cx, cy = (bx0 + bx1 + 1) / 2, (by0 + by1 + 1) / 2
    half = (by1 - by0 + 1) * 0.3
    triangle = [(cx - half * 0.75, cy - half), (cx + half * 0.95, cy), (cx - half * 0.75, cy + half)]
    if size >= 32:
        polygon(c, [(x + line, y + line) for x, y in triangle], solid(SHADOW), 0.7)
    polygon(c, triangle, solid(SYMBOL_LIT))
    return icon


def bitmap_entry(icon):
    """An icon image in the bitmap form: header (twice the height: colours and mask), BGRA rows
    bottom-up, then the 1-bit mask that Windows before XP draws with."""
    size = icon.size
    rgba = icon.rgba()
    mask_row = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, size * size * 4 + mask_row * size,
                         0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(size):
            r, g, b, a = rgba[y * size + x]
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def ico_bytes(icons):
    """An .ico file: the directory, then each image."""
    images = [png_bytes(i.size, i.size, i.rgba()) if i.size >= PNG_FROM else bitmap_entry(i) for i in icons]
    offset = 6 + 16 * len(icons)
    directory = struct.pack("<HHH", 0, 1, len(icons))
    for icon, image in zip(icons, images):
        side = icon.size if icon.size < 256 else 0
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def preview(icons):
    """The images side by side, composed over a light ground, as RGBA rows for a PNG."""
    gap = 8
    width = sum(i.size for i in icons) + gap * (len(icons) + 1)
    height = max(i.size for i in icons) + 2 * gap
    ground = Canvas(width, height, PREVIEW_GROUND)
    x = gap
    for icon in icons:
        for y in range(icon.size):
            for ix in range(icon.size):
                alpha = icon.cover.get(ix, y)[0] / 255
                blend(ground, x + ix, gap + y, icon.colour.get(ix, y), alpha)
        x += icon.size + gap
    return width, height, [(*p, 255) for p in ground.pixels]


def main():
    icons = [draw_icon(size) for size in SIZES]
    with open(os.path.join(ASSETS, "brumby.ico"), "wb") as f:
        f.write(ico_bytes(icons))
    os.makedirs(os.path.join(ASSETS, "preview"), exist_ok=True)
    with open(os.path.join(ASSETS, "preview", "icon.png"), "wb") as f:
        f.write(png_bytes(*preview(icons)))


if __name__ == "__main__":
    main()
