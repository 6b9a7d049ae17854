#!/usr/bin/env python3
"""Draws the pictures of the bundled Face "Sample" as BMP files.

backpic.bmp (608 x 464 pixels, the main window's size) is a deep blue brushed-metal panel that darkens toward
the bottom, with a faint lighter band behind the slider row and fine horizontal grain; slider.bmp (21 x 31) and
fader.bmp (41 x 23) are the console's knob caps (see ../knobs/makeknobs.py) in a cool blue-grey with an orange
index line, set on the panel colour so that the opaque corners disappear.

Only the standard library is used:
    python3 makefaces.py [output folder of the Sample Face]
"""

import math
import os
import random
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "knobs"))
import makeknobs  # noqa: E402

WIDTH, HEIGHT = 608, 464
SLIDER_TOP, SLIDER_BOTTOM = 220, 320  # the slider row in pixels (3300 twips down, 1500 twips tall)


def write_bmp(path, width, height, pixels, palette=None):
    """Writes rows (top first) as an uncompressed BMP: 8-bit indices with a palette, or 24-bit (r, g, b)."""
    bits = 8 if palette else 24
    row_bytes = (width * bits // 8 + 3) & ~3
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette) if palette else b""
    offset = 14 + 40 + len(table)
    size = offset + row_bytes * height
    data = bytearray(b"BM" + struct.pack("<IHHI", size, 0, 0, offset))
    data += struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, row_bytes * height, 2835, 2835,
                        len(palette) if palette else 0, 0)
    data += table
    for y in range(height - 1, -1, -1):  # bottom row first
        row = bytearray()
        for x in range(width):
            p = pixels[y * width + x]
            row += bytes([p]) if palette else bytes([p[2], p[1], p[0]])
        row += b"\0" * (row_bytes - len(row))
        data += row
    tmp = path + ".tmp"
    with open(tmp, "wb") as out:
        out.write(data)
    os.replace(tmp, path)


def panel_palette():
    """256 shades from near-black navy to a steel blue."""
    dark, light = (6, 10, 22), (58, 76, 112)
    return [tuple(int(round(dark[i] + (light[i] - dark[i]) * (k / 255) ** 1.3)) for i in range(3))
            for k in range(256)]


def draw_background():
    rng = random.Random(1440)
    grain = [rng.uniform(-1, 1) for _ in range(HEIGHT)]
    pixels = []
    for y in range(HEIGHT):
        # Vertical light: brightest a third of the way down, darker toward the bottom.
        base = 150 - 110 * abs(y / HEIGHT - 0.3) ** 1.1
        if SLIDER_TOP - 8 <= y <= SLIDER_BOTTOM + 8:
            edge = min(y - (SLIDER_TOP - 8), (SLIDER_BOTTOM + 8) - y)
            base += 18 * min(1.0, edge / 6)
        for x in range(WIDTH):
            # Brushed grain along each row, a soft sheen across the width.
            sheen = 14 * math.cos((x / WIDTH - 0.5) * math.pi)
            v = base + sheen + 9 * grain[y] + 5 * math.sin(x * 0.9 + y * 7.3) * rng.random()
            pixels.append(max(0, min(255, int(v))))
    return pixels


def recolour_cap(rgba, backdrop):
    """Tints a grey cap blue-grey, turns its red index orange, and sets it on an opaque backdrop."""
    out = []
    for (r, g, b, a) in rgba:
        if r > 200 and g < 80:  # the index line
            r, g, b = 255, 140, 20
        else:
            r, g, b = r * 0.86, g * 0.93, min(255, b * 1.08 + 6)
        t = a / 255
        out.append(tuple(int(round(backdrop[i] * (1 - t) + c * t)) for i, c in enumerate((r, g, b))))
    return out


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "Sample")
    os.makedirs(folder, exist_ok=True)
    write_bmp(os.path.join(folder, "backpic.bmp"), WIDTH, HEIGHT, draw_background(), panel_palette())
    backdrop = (24, 32, 52)
    write_bmp(os.path.join(folder, "slider.bmp"), 21, 31,
              recolour_cap(makeknobs.draw_cap(21, 31, True, shadow=2), backdrop))
    write_bmp(os.path.join(folder, "fader.bmp"), 41, 23,
              recolour_cap(makeknobs.draw_cap(41, 23, False), backdrop))


if __name__ == "__main__":
    main()
