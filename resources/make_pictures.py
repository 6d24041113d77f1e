#!/usr/bin/env python3
"""Draws Quillfort's pictures: the editor's background (a pale topographic
map sheet with grid squares and contour lines), the window icon and the 32 by
32 About picture (a quill before a fort's tower), each also at twice the
pixels (@2x) for high-density screens; the desktop icons at the theme's sizes;
the Windows .ico and the macOS .icns. Standard library only; run it again
after changing it and commit the files it writes."""
import math
import os
import random
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def png_bytes(width, height, rows, alpha=False):
    """rows: list of bytearrays, RGB (or RGBA) per pixel."""
    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    colour_type = 6 if alpha else 2

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    return png


def write_png(path, width, height, rows, alpha=False):
    with open(path, "wb") as f:
        f.write(png_bytes(width, height, rows, alpha))


def background(scale=1, name="background.png"):
    """The map sheet; scale 2 draws the same sheet with twice the pixels in
    each direction, for screens of high pixel density."""
    w, h = 1434, 650
    rnd = random.Random(1944)
    hills = [(rnd.uniform(0, w), rnd.uniform(0, h), rnd.uniform(60, 260), rnd.uniform(-1.0, 1.6))
             for _ in range(18)]
    paper = (236, 231, 214)
    contour = (200, 176, 140)
    index_contour = (178, 146, 104)
    water = (200, 218, 226)
    grid = (150, 170, 190)
    pw, ph = w * scale, h * scale

    def at(p):
        # A pixel's centre in the sheet's own units.
        return p if scale == 1 else (p + 0.5) / scale - 0.5

    rows = []
    for py in range(ph):
        y = at(py)
        row = bytearray(pw * 3)
        for px in range(pw):
            x = at(px)
            z = 0.0
            for hx, hy, r, a in hills:
                dx, dy = x - hx, y - hy
                z += a * math.exp(-(dx * dx + dy * dy) / (2 * r * r))
            z += 0.08 * math.sin(x / 97.0) * math.cos(y / 71.0)
            level = z * 5.0
            frac = abs(level - round(level))
            if z < -0.35:
                c = water
            else:
                # Higher ground a touch darker, like hill shading on a sheet.
                shade = max(0.0, min(1.0, z)) * 14
                c = tuple(max(0, int(p - shade)) for p in paper)
            if z >= -0.35 and frac < 0.03:
                c = index_contour if int(round(level)) % 5 == 0 else contour
            if (px // scale) % 100 == 0 or (py // scale) % 100 == 0:
                c = grid
            row[3 * px:3 * px + 3] = bytes(c)
        rows.append(row)
    # Grid square numbers along the top and left edges, in a tiny 3x5 font.
    digits = {
        "0": ["111", "101", "101", "101", "111"], "1": ["010", "110", "010", "010", "111"],
        "2": ["111", "001", "111", "100", "111"], "3": ["111", "001", "111", "001", "111"],
        "4": ["101", "101", "111", "001", "001"], "5": ["111", "100", "111", "001", "111"],
        "6": ["111", "100", "111", "101", "111"], "7": ["111", "001", "010", "010", "010"],
        "8": ["111", "101", "111", "101", "111"], "9": ["111", "101", "111", "001", "111"],
    }

    def text(x0, y0, s):
        for i, ch in enumerate(s):
            for yy, line in enumerate(digits[ch]):
                for xx, bit in enumerate(line):
                    if bit == "1":
                        for sy in range(2 * scale):
                            for sx in range(2 * scale):
                                px = (x0 + i * 8 + xx * 2) * scale + sx
                                py = (y0 + yy * 2) * scale + sy
                                if 0 <= px < pw and 0 <= py < ph:
                                    rows[py][3 * px:3 * px + 3] = bytes(grid)

    for gx in range(0, w, 100):
        text(gx + 4, 300, "%03d" % (gx // 100 + 40))
    for gy in range(0, h, 100):
        text(1400, gy + 4, "%02d" % (gy // 100 + 70))
    write_png(os.path.join(HERE, name), pw, ph, rows)


def emblem(size):
    """A quill crossing a fort's tower, with a transparent surround."""
    s = size / 32.0
    rows = []
    for y in range(size):
        row = bytearray(size * 4)
        for x in range(size):
            fx, fy = (x + 0.5) / s, (y + 0.5) / s
            c = None
            # Tower with battlements.
            if 8 <= fx <= 24 and 10 <= fy <= 30:
                c = (96, 104, 84, 255)
            if 6 <= fx <= 26 and 6 <= fy <= 11 and int((fx - 6) // 4) % 2 == 0:
                c = (96, 104, 84, 255)
            if 13 <= fx <= 19 and 20 <= fy <= 30:
                c = (52, 46, 36, 255)  # gate
            # Quill: a feather along the diagonal from top right to bottom left.
            t = ((fx - 29) * -0.7071 + (fy - 2) * 0.7071)
            d = abs((fx - 29) * 0.7071 + (fy - 2) * 0.7071)
            if 0 <= t <= 34:
                width = 4.2 * math.sin(min(math.pi, t / 26 * math.pi)) if t < 26 else 0.0
                if d <= width:
                    c = (246, 242, 226, 255) if d > 0.9 else (200, 160, 70, 255)
                elif t >= 24 and d <= 0.9:
                    c = (40, 40, 48, 255)  # nib
            if c is None:
                c = (0, 0, 0, 0)
            row[4 * x:4 * x + 4] = bytes(c)
        rows.append(row)
    return rows


def write_ico(path, sizes):
    """A Windows icon whose images are PNG files (read by Windows Vista and later)."""
    images = [png_bytes(n, n, emblem(n), alpha=True) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def write_icns(path):
    """A macOS bundle icon: PNG images under their icns type codes."""
    types = [(b"icp4", 16), (b"icp5", 32), (b"ic11", 32), (b"ic12", 64), (b"ic07", 128),
             (b"ic13", 256), (b"ic08", 256), (b"ic09", 512), (b"ic14", 512)]
    body = b""
    for code, n in types:
        data = png_bytes(n, n, emblem(n), alpha=True)
        body += code + struct.pack(">I", len(data) + 8) + data
    with open(path, "wb") as f:
        f.write(b"icns" + struct.pack(">I", len(body) + 8) + body)


# The icon sizes installed into the desktop's icon theme.
THEME_SIZES = (16, 32, 48, 64, 128, 256)

if __name__ == "__main__":
    import sys
    # The map takes a while; "icons" redraws everything but the map.
    only_icons = sys.argv[1:] == ["icons"]
    if not only_icons:
        background()
        background(2, "background@2x.png")
    write_png(os.path.join(HERE, "quillfort.png"), 64, 64, emblem(64), alpha=True)
    write_png(os.path.join(HERE, "quillfort@2x.png"), 128, 128, emblem(128), alpha=True)
    write_png(os.path.join(HERE, "about.png"), 32, 32, emblem(32), alpha=True)
    write_png(os.path.join(HERE, "about@2x.png"), 64, 64, emblem(64), alpha=True)
    for n in THEME_SIZES:
        folder = os.path.join(HERE, "icons", "%dx%d" % (n, n))
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, "quillfort.png"), n, n, emblem(n), alpha=True)
    write_ico(os.path.join(HERE, "quillfort.ico"), (16, 24, 32, 48, 64, 256))
    write_icns(os.path.join(HERE, "quillfort.icns"))
