"""Tiny raster helpers for the skin and icon generators: a canvas, shapes with
cheap anti-aliasing by 4 x 4 supersampling, a pixel font, a 24-bit BMP writer
and an RGBA PNG writer. Standard library only."""

import struct

SUBSAMPLES = 4


class Canvas:
    """RGB pixels, row-major, (0,0) at the top left."""

    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [colour] * (width * height)

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = tuple(int(round(v)) for v in colour)

    def crop(self, x0, y0, width, height):
        out = Canvas(width, height)
        for y in range(height):
            for x in range(width):
                sx = min(max(x0 + x, 0), self.width - 1)
                sy = min(max(y0 + y, 0), self.height - 1)
                out.pixels[y * width + x] = self.get(sx, sy)
        return out

    def copy(self):
        out = Canvas(self.width, self.height)
        out.pixels = list(self.pixels)
        return out


def mix(a, b, t):
    """Colour a moved towards b by t (0..1)."""
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def blend(canvas, x, y, colour, alpha):
    if alpha <= 0 or not (0 <= x < canvas.width and 0 <= y < canvas.height):
        return
    canvas.put(x, y, mix(canvas.get(x, y), colour, min(alpha, 1.0)))


def rect(canvas, x0, y0, x1, y1, colour, alpha=1.0):
    """Inclusive box."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            blend(canvas, x, y, colour, alpha)


def vgradient(canvas, x0, y0, x1, y1, top, bottom):
    span = max(y1 - y0, 1)
    for y in range(y0, y1 + 1):
        rect(canvas, x0, y, x1, y, mix(top, bottom, (y - y0) / span))


def hline(canvas, x0, x1, y, colour, alpha=1.0):
    rect(canvas, x0, y, x1, y, colour, alpha)


def vline(canvas, x, y0, y1, colour, alpha=1.0):
    rect(canvas, x, y0, x, y1, colour, alpha)


def line(canvas, x0, y0, x1, y1, colour, alpha=1.0):
    """Bresenham line, both ends included."""
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    while True:
        blend(canvas, x0, y0, colour, alpha)
        if x0 == x1 and y0 == y1:
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def fill_shape(canvas, box, inside, colour_at, alpha=1.0):
    """Covers the pixels of box (inclusive x0,y0,x1,y1) with colour_at(x, y),
    weighted by how many subsamples satisfy inside(fx, fy): cheap edge
    smoothing for any shape given as a point test."""
    x0, y0, x1, y1 = box
    n = SUBSAMPLES
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    if inside(x + (sx + 0.5) / n, y + (sy + 0.5) / n):
                        hits += 1
            if hits:
                blend(canvas, x, y, colour_at(x, y), alpha * hits / (n * n))


def solid(colour):
    return lambda x, y: colour


def vertical(top, bottom, y0, y1):
    span = max(y1 - y0, 1)
    return lambda x, y: mix(top, bottom, min(max((y - y0) / span, 0.0), 1.0))


def rounded_rect(canvas, x0, y0, x1, y1, radius, colour_at, alpha=1.0):
    """Inclusive pixel box with corners rounded by radius (in pixels)."""
    left, top, right, bottom = x0, y0, x1 + 1, y1 + 1

    def inside(fx, fy):
        if not (left <= fx <= right and top <= fy <= bottom):
            return False
        cx = min(max(fx, left + radius), right - radius)
        cy = min(max(fy, top + radius), bottom - radius)
        return (fx - cx) ** 2 + (fy - cy) ** 2 <= radius * radius

    fill_shape(canvas, (x0, y0, x1, y1), inside, colour_at, alpha)


def polygon(canvas, points, colour_at, alpha=1.0):
    """Even-odd filled polygon; points are in pixel-edge coordinates, so a
    vertex (3, 4) is the top-left corner of pixel (3, 4)."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    box = (int(min(xs)), int(min(ys)), int(max(xs)), int(max(ys)))

    def inside(fx, fy):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > fy) != (yj > fy) and fx < (xj - xi) * (fy - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    fill_shape(canvas, box, inside, colour_at, alpha)


# Pixel font: 5 rows per glyph, '#' set, variable width.
FONT = {
    "A": [".#.", "#.#", "###", "#.#", "#.#"],
    "B": ["##.", "#.#", "##.", "#.#", "##."],
    "C": [".##", "#..", "#..", "#..", ".##"],
    "D": ["##.", "#.#", "#.#", "#.#", "##."],
    "E": ["###", "#..", "##.", "#..", "###"],
    "I": ["###", ".#.", ".#.", ".#.", "###"],
    "L": ["#..", "#..", "#..", "#..", "###"],
    "M": ["#...#", "##.##", "#.#.#", "#...#", "#...#"],
    "N": ["#..#", "##.#", "#.##", "#..#", "#..#"],
    "P": ["##.", "#.#", "##.", "#..", "#.."],
    "R": ["##.", "#.#", "##.", "#.#", "#.#"],
    "S": [".##", "#..", ".#.", "..#", "##."],
    "T": ["###", ".#.", ".#.", ".#.", ".#."],
    "U": ["#.#", "#.#", "#.#", "#.#", ".##"],
    "V": ["#.#", "#.#", "#.#", "#.#", ".#."],
    "W": ["#...#", "#...#", "#.#.#", "#.#.#", ".#.#."],
    "Y": ["#.#", "#.#", ".#.", ".#.", ".#."],
    "+": ["...", ".#.", "###", ".#.", "..."],
    "-": ["...", "...", "###", "...", "..."],
    " ": ["..", "..", "..", "..", ".."],
}


def text_width(text, spacing=1):
    return sum(len(FONT[ch][0]) for ch in text) + spacing * (len(text) - 1)


def text(canvas, x, y, string, colour, spacing=1, alpha=1.0):
    """Draws string with its top-left corner at (x, y)."""
    for ch in string:
        glyph = FONT[ch]
        for row, bits in enumerate(glyph):
            for col, bit in enumerate(bits):
                if bit == "#":
                    blend(canvas, x + col, y + row, colour, alpha)
        x += len(glyph[0]) + spacing


def bmp_bytes(canvas):
    """24-bit uncompressed bottom-up Windows bitmap, rows padded to 4 bytes."""
    row_size = (canvas.width * 3 + 3) & ~3
    image_size = row_size * canvas.height
    header = b"BM" + struct.pack("<IHHI", 14 + 40 + image_size, 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0,
                       image_size, 2835, 2835, 0, 0)
    rows = []
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b = canvas.get(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        rows.append(bytes(row))
    return header + info + b"".join(rows)


def save_bmp(canvas, path):
    with open(path, "wb") as f:
        f.write(bmp_bytes(canvas))


def ppm_bytes(canvas):
    """Binary PPM, for previews converted to PNG by an image tool."""
    data = bytearray(b"P6 %d %d 255\n" % (canvas.width, canvas.height))
    for colour in canvas.pixels:
        data += bytes(colour)
    return bytes(data)


def png_bytes(width, height, rgba):
    """8-bit RGBA PNG of rgba (width * height tuples of four, row-major), no
    timestamps, so the same pixels always give the same file."""
    import zlib

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for pixel in rgba[y * width:(y + 1) * width]:
            raw += bytes(pixel)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
