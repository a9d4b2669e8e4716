#!/usr/bin/env python3
"""Draws the player's pictures: the face, the two skin files and the four
playlist-window frames, in one dark brushed-metal theme.

Re-run from the repository root (Python 3, standard library only):

    python3 tools/make_skin.py

It writes into assets/: face.bmp (186 x 64), back.vnb and backmouse.vnb
(185 x 65, the normal and the hover skin), frame_top.bmp, frame_left.bmp,
frame_right.bmp, frame_bottom.bmp, and, when /usr/bin/convert exists,
4x PNG previews in assets/preview/. The output is deterministic, so the
committed files only change when this script does. Geometry below is the
player's fixed layout: the buttons' hit boxes and repaint boxes, the info
strip and the bars, which the program draws over at exactly these pixels.
"""

import os
import random
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from raster import (Canvas, blend, hline, mix, polygon, rect, rounded_rect,  # noqa: E402
                    save_bmp, ppm_bytes, solid, text, text_width, vertical, vline)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ASSETS = os.path.join(ROOT, "assets")

FACE_W, FACE_H = 184, 64          # the visible window
FACE_BITMAP_W = 186               # the face picture is two columns wider
SKIN_W, SKIN_H = 185, 65          # the skin files' pixel tables
LIST_W, LIST_H = 184, 205         # the playlist window's client area

# Theme.
METAL_TOP = (78, 83, 93)
METAL_BOTTOM = (40, 43, 50)
EDGE = (10, 11, 13)
HIGHLIGHT = (150, 157, 170)
SHADOW = (16, 17, 20)
RECESS_TOP = (24, 26, 30)
RECESS_BOTTOM = (42, 45, 52)
CAP_TOP = (106, 112, 124)
CAP_BOTTOM = (54, 58, 66)
CAP_LIT_TOP = (124, 136, 152)
CAP_LIT_BOTTOM = (58, 70, 86)
SYMBOL = (218, 223, 230)
SYMBOL_LIT = (150, 228, 255)
CLOSE_LIT = (255, 120, 104)
GLOW = (70, 190, 255)
ACCENT = (92, 196, 245)

# Colours the program itself paints; the face must match them.
INFO_BACKGROUND = (204, 204, 204)
BAR_EMPTY = (172, 172, 172)
LIST_BACKGROUND = (95, 95, 95)

# Button caps (pixels hit, inclusive) and repaint boxes (inclusive).
BUTTONS = {
    "close":    ((9, 7, 15, 13), (8, 6, 16, 14)),
    "minimise": ((9, 17, 15, 23), (8, 16, 16, 24)),
    "previous": ((24, 40, 40, 57), (21, 37, 43, 60)),
    "play":     ((47, 40, 63, 57), (44, 37, 66, 60)),
    "pause":    ((69, 40, 86, 57), (66, 37, 89, 60)),
    "stop":     ((93, 40, 109, 57), (90, 37, 112, 60)),
    "next":     ((117, 40, 131, 57), (114, 37, 138, 60)),
    "playlist": ((146, 42, 158, 55), (140, 39, 160, 58)),
}
INFO_STRIP = (22, 7, 175, 24)
# The idle text clears from x 20, so the strip's light face starts there too.
INFO_FACE = (20, 7, 175, 24)
POSITION_BAR = (7, 31, 128, 33)
VOLUME_BAR = (133, 31, 178, 33)

# Playlist window pieces: (x, y, width, height) in window coordinates.
FRAMES = {
    "frame_top": (0, 0, 186, 12),
    "frame_left": (0, 12, 14, 193),
    "frame_right": (170, 12, 16, 193),
    "frame_bottom": (14, 177, 156, 28),
}
LIST_BOX = (12, 10, 171, 178)
LIST_BUTTONS = {"ADD": (19, 184, 39, 199), "REM": (45, 184, 69, 199), "CLR": (73, 184, 95, 199)}


def brushed_metal(canvas, seed):
    """Vertical sheen plus fine horizontal streaks, the same on every run."""
    rng = random.Random(seed)
    span = canvas.height - 1
    for y in range(canvas.height):
        base = mix(METAL_TOP, METAL_BOTTOM, y / span)
        row_shift = rng.uniform(-2.0, 2.0)
        streak = 0.0
        for x in range(canvas.width):
            streak = 0.8 * streak + 0.2 * rng.uniform(-5.0, 5.0)
            d = row_shift + streak
            canvas.put(x, y, tuple(min(max(c + d, 0), 255) for c in base))


def outer_frame(canvas, width, height):
    """A dark rim with a bevel just inside it."""
    hline(canvas, 0, width - 1, 0, EDGE)
    hline(canvas, 0, width - 1, height - 1, EDGE)
    vline(canvas, 0, 0, height - 1, EDGE)
    vline(canvas, width - 1, 0, height - 1, EDGE)
    hline(canvas, 1, width - 2, 1, HIGHLIGHT, 0.55)
    vline(canvas, 1, 2, height - 2, HIGHLIGHT, 0.35)
    hline(canvas, 1, width - 2, height - 2, SHADOW, 0.6)
    vline(canvas, width - 2, 1, height - 3, SHADOW, 0.45)


def inset(canvas, x0, y0, x1, y1, depth=1.0):
    """A sunken border just outside the inclusive box: shadow above and left,
    light below and right, as if the box were pressed into the plate."""
    hline(canvas, x0 - 1, x1 + 1, y0 - 1, SHADOW, 0.9 * depth)
    vline(canvas, x0 - 1, y0, y1 + 1, SHADOW, 0.9 * depth)
    hline(canvas, x0 - 1, x1 + 1, y1 + 1, HIGHLIGHT, 0.7 * depth)
    vline(canvas, x1 + 1, y0, y1, HIGHLIGHT, 0.7 * depth)
    hline(canvas, x0 - 2, x1 + 2, y0 - 2, SHADOW, 0.35 * depth)
    vline(canvas, x0 - 2, y0 - 1, y1 + 2, SHADOW, 0.35 * depth)
    hline(canvas, x0 - 1, x1 + 2, y1 + 2, HIGHLIGHT, 0.3 * depth)
    vline(canvas, x1 + 2, y0 - 1, y1 + 1, HIGHLIGHT, 0.3 * depth)


def tray(canvas, x0, y0, x1, y1):
    """A recessed panel that buttons sit in."""
    rounded_rect(canvas, x0, y0, x1, y1, 3, vertical(RECESS_TOP, RECESS_BOTTOM, y0, y1))
    hline(canvas, x0 + 3, x1 - 3, y0, SHADOW, 0.8)
    hline(canvas, x0 + 3, x1 - 3, y1, HIGHLIGHT, 0.45)
    hline(canvas, x0 + 3, x1 - 3, y1 + 1, HIGHLIGHT, 0.2)


def grip(canvas, x0, x1, y):
    """Knurled ridges that invite a drag."""
    for x in range(x0, x1 + 1, 2):
        blend(canvas, x, y, HIGHLIGHT, 0.55)
        blend(canvas, x + 1, y + 1, SHADOW, 0.8)
        blend(canvas, x, y + 2, HIGHLIGHT, 0.55)
        blend(canvas, x + 1, y + 3, SHADOW, 0.8)


def cap(canvas, box, lit, radius=3.0, glow=GLOW):
    """A raised button cap filling the inclusive box; a lit cap is brighter
    and haloed one pixel outside its box."""
    x0, y0, x1, y1 = box
    if lit:
        rounded_rect(canvas, x0 - 1, y0 - 1, x1 + 1, y1 + 1, radius + 1, solid(glow), 0.55)
    rounded_rect(canvas, x0, y0, x1, y1, radius, solid(EDGE))
    top, bottom = (CAP_LIT_TOP, CAP_LIT_BOTTOM) if lit else (CAP_TOP, CAP_BOTTOM)
    rounded_rect(canvas, x0 + 1, y0 + 1, x1 - 1, y1 - 1, max(radius - 1, 0.5),
                 vertical(top, bottom, y0 + 1, y1 - 1))
    if radius > 1.5:
        hline(canvas, x0 + 2, x1 - 2, y0 + 1, (200, 206, 218), 0.7 if lit else 0.55)
        hline(canvas, x0 + 2, x1 - 2, y1 - 1, SHADOW, 0.35)


def small_cap(canvas, box, lit, glow):
    """A tiny cap whose rim lies one pixel outside the box, inside the repaint
    box; lighting recolours the rim instead of adding a halo."""
    x0, y0, x1, y1 = box
    rim = mix(EDGE, glow, 0.75) if lit else EDGE
    rounded_rect(canvas, x0 - 1, y0 - 1, x1 + 1, y1 + 1, 2.0, solid(rim))
    top, bottom = (CAP_LIT_TOP, CAP_LIT_BOTTOM) if lit else (CAP_TOP, CAP_BOTTOM)
    rounded_rect(canvas, x0, y0, x1, y1, 1.0, vertical(top, bottom, y0, y1))


def triangle_right(canvas, base_x, tip_x, top, bottom):
    def draw(dx, dy, colour, alpha):
        polygon(canvas, [(base_x + dx, top + dy), (tip_x + dx, (top + bottom) / 2 + dy),
                         (base_x + dx, bottom + dy)], solid(colour), alpha)
    return draw


def block(canvas, x0, y0, x1, y1):
    def draw(dx, dy, colour, alpha):
        rect(canvas, x0 + dx, y0 + dy, x1 + dx, y1 + dy, colour, alpha)
    return draw


def pixels(canvas, points):
    def draw(dx, dy, colour, alpha):
        for x, y in points:
            blend(canvas, x + dx, y + dy, colour, alpha)
    return draw


def arrow(base_x, top, direction):
    """A crisp 9-row, 5-column arrow head whose flat side is at base_x,
    pointing right (direction 1) or left (-1)."""
    points = []
    for row in range(9):
        length = 5 - abs(row - 4)
        points += [(base_x + direction * i, top + row) for i in range(length)]
    return points


def draw_symbols(canvas, name, colour):
    """The button's pictogram, centred on its cap."""
    parts = []
    if name == "close":
        parts.append(pixels(canvas, [(10 + i, 8 + i) for i in range(5)] +
                            [(14 - i, 8 + i) for i in range(5)]))
    elif name == "minimise":
        parts.append(block(canvas, 10, 20, 14, 21))
    elif name == "previous":
        parts += [block(canvas, 26, 45, 27, 53),
                  pixels(canvas, arrow(33, 45, -1)), pixels(canvas, arrow(38, 45, -1))]
    elif name == "play":
        parts.append(triangle_right(canvas, 52, 59, 44, 55))
    elif name == "pause":
        parts += [block(canvas, 74, 45, 76, 52), block(canvas, 79, 45, 81, 52)]
    elif name == "stop":
        parts.append(block(canvas, 98, 46, 105, 53))
    elif name == "next":
        parts += [pixels(canvas, arrow(118, 45, 1)), pixels(canvas, arrow(123, 45, 1)),
                  block(canvas, 129, 45, 130, 53)]
    elif name == "playlist":
        points = []
        for y in (45, 48, 51):
            points.append((149, y))
            points += [(x, y) for x in range(151, 156)]
        parts.append(pixels(canvas, points))
    if name not in ("close", "minimise"):
        for draw in parts:
            draw(1, 1, SHADOW, 0.7)
    for draw in parts:
        draw(0, 0, colour, 1.0)


def speaker_grille(canvas, x0, y0, columns, rows, step):
    for r in range(rows):
        for c in range(columns):
            x, y = x0 + c * step, y0 + r * step
            blend(canvas, x, y, SHADOW, 0.95)
            blend(canvas, x + 1, y, SHADOW, 0.5)
            blend(canvas, x, y + 1, SHADOW, 0.5)
            blend(canvas, x + 1, y + 1, HIGHLIGHT, 0.45)


def engraved_text(canvas, x, y, string, colour):
    text(canvas, x + 1, y + 1, string, SHADOW, alpha=0.8)
    text(canvas, x, y, string, colour)


def wave(canvas, x0, x1, mid, colour):
    """A small sine trace, the brand's mark."""
    import math
    for x in range(x0, x1 + 1):
        fy = mid + 1.6 * math.sin((x - x0) * 2 * math.pi / 8)
        y = int(fy)
        frac = fy - y
        blend(canvas, x, y, colour, 1 - frac)
        blend(canvas, x, y + 1, colour, frac)


def draw_face(lit):
    """The whole face; lit=True draws every button in its hover look."""
    c = Canvas(FACE_W, FACE_H)
    brushed_metal(c, 184)
    outer_frame(c, FACE_W, FACE_H)

    # Drag handle along the top.
    grip(c, 24, 180, 1)

    # Info strip: an inset light display.
    x0, y0, x1, y1 = INFO_FACE
    rect(c, x0, y0, x1, y1, INFO_BACKGROUND)
    inset(c, x0, y0, x1, y1)

    # Position and volume bars in their grooves.
    for bar in (POSITION_BAR, VOLUME_BAR):
        bx0, by0, bx1, by1 = bar
        rect(c, bx0, by0, bx1, by1, BAR_EMPTY)
        inset(c, bx0, by0, bx1, by1)

    # Trays behind the transport buttons and the playlist button.
    tray(c, 19, 37, 137, 60)
    tray(c, 141, 39, 160, 58)

    speaker_grille(c, 4, 39, 5, 7, 3)

    # Wordmark, right of the buttons and below the volume bar.
    engraved_text(c, 164, 41, "TUNE", (196, 202, 212))
    engraved_text(c, 163, 48, "WELL", ACCENT)
    wave(c, 163, 180, 57, (120, 130, 144))

    for name, (box, _) in BUTTONS.items():
        glow = CLOSE_LIT if name == "close" else GLOW
        if name in ("close", "minimise"):
            small_cap(c, box, lit, glow)
        else:
            cap(c, box, lit, glow=glow)
        if lit:
            colour = (255, 200, 190) if name == "close" else SYMBOL_LIT
        else:
            colour = SYMBOL
        draw_symbols(c, name, colour)

    # The program paints these exact colours; make sure nothing drew over them.
    rect(c, *INFO_STRIP, INFO_BACKGROUND)
    rect(c, *POSITION_BAR, BAR_EMPTY)
    rect(c, *VOLUME_BAR, BAR_EMPTY)
    return c


def draw_playlist_window():
    """The whole playlist window, later cut into its four frame pieces."""
    c = Canvas(186, LIST_H)
    brushed_metal(c, 205)
    outer_frame(c, LIST_W, LIST_H)
    # The two columns past the window's edge are clipped; continue the rim.
    for y in range(LIST_H):
        c.put(184, y, c.get(183, y))
        c.put(185, y, c.get(183, y))

    x0, y0, x1, y1 = LIST_BOX
    rect(c, x0, y0, x1, y1, LIST_BACKGROUND)
    inset(c, x0, y0, x1, y1)

    title = "PLAYLIST"
    width = text_width(title)
    tx = (LIST_W - width) // 2
    engraved_text(c, tx, 2, title, (196, 202, 212))
    grip(c, 6, tx - 6, 2)
    grip(c, tx + width + 5, LIST_W - 7, 2)

    tray(c, 15, 182, 99, 201)
    for label, box in LIST_BUTTONS.items():
        cap(c, box, False)
        bx0, _, bx1, _ = box
        lx = bx0 + (bx1 - bx0 + 1 - text_width(label)) // 2
        engraved_text(c, lx, 190, label, SYMBOL)

    mark = "TUNEWELL"
    mx = 166 - text_width(mark)
    engraved_text(c, mx, 188, mark, (196, 202, 212))
    wave(c, mx, mx + text_width(mark) - 1, 196, ACCENT)
    return c


def pad_face(face):
    """Widens the 184-pixel design to the face bitmap's 186 columns by
    repeating the right rim."""
    return face.crop(0, 0, FACE_BITMAP_W, FACE_H)


def write_preview(canvas, name):
    convert = "/usr/bin/convert"
    if not os.path.exists(convert):
        return
    folder = os.path.join(ASSETS, "preview")
    os.makedirs(folder, exist_ok=True)
    # No timestamps in the PNG, so re-running leaves the committed files unchanged.
    subprocess.run([convert, "ppm:-", "-scale", "400%", "-strip", "-define", "png:exclude-chunks=date,time",
                    os.path.join(folder, name + ".png")],
                   input=ppm_bytes(canvas), check=True)


def check_hover_boxes(normal, hover):
    """The two skins may differ only inside repaint boxes, and columns shared by
    two boxes must not differ, or leaving one button would smear the other."""
    boxes = [repaint for _, repaint in BUTTONS.values()]
    for y in range(SKIN_H):
        for x in range(SKIN_W):
            if normal.get(x, y) == hover.get(x, y):
                continue
            owners = [b for b in boxes if b[0] <= x <= b[2] and b[1] <= y <= b[3]]
            if len(owners) != 1:
                raise SystemExit("hover differs at (%d,%d), in %d boxes" % (x, y, len(owners)))


def main():
    normal = draw_face(lit=False)
    hover = draw_face(lit=True)
    face = pad_face(normal)
    save_bmp(face, os.path.join(ASSETS, "face.bmp"))
    back = normal.crop(0, 0, SKIN_W, SKIN_H)
    backmouse = hover.crop(0, 0, SKIN_W, SKIN_H)
    check_hover_boxes(back, backmouse)
    save_bmp(back, os.path.join(ASSETS, "back.vnb"))
    save_bmp(backmouse, os.path.join(ASSETS, "backmouse.vnb"))

    window = draw_playlist_window()
    for name, (x, y, w, h) in FRAMES.items():
        save_bmp(window.crop(x, y, w, h), os.path.join(ASSETS, name + ".bmp"))

    write_preview(normal, "face")
    write_preview(hover, "face_hover")
    shown = window.crop(0, 0, LIST_W, LIST_H)
    write_preview(shown, "playlist")


if __name__ == "__main__":
    main()
