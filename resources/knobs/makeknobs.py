#!/usr/bin/env python3
"""Draws the two built-in knob pictures of the console as PNG files.

sliderknob.png (21 x 31 pixels) is the cap of a vertical volume fader (29 rows of cap over a two-row shadow,
so that the whole cap stays inside the slider at the bottom of its travel), faderknob.png (41 x 23 pixels) the cap
of the horizontal crossfader. Both look like a moulded console cap seen from above: a light grey body that is
hollowed towards its middle, grip ridges across the direction of travel and a red index line in the middle,
with a dark rim and transparent rounded corners so they sit on any background.

Only the standard library is used, so the pictures can be remade on any machine:
    python3 makeknobs.py [output folder]
"""

import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 4  # sub-pixels per side; smooths the rounded outline


def write_png(path, width, height, pixels):
    """Writes 8-bit RGBA rows (a list of (r, g, b, a) tuples, row by row) as a PNG file."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)  # filter type None
        for x in range(width):
            raw.extend(pixels[y * width + x])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    data += chunk(b"IEND", b"")
    tmp = path + ".tmp"
    with open(tmp, "wb") as out:
        out.write(data)
    os.replace(tmp, path)


def inside_rounded(x, y, width, height, radius):
    """True when the point lies inside the rounded rectangle 0..width by 0..height."""
    cx = min(max(x, radius), width - radius)
    cy = min(max(y, radius), height - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def cap_colour(along, across, length, breadth):
    """Colour of the cap body at a point; 'along' runs in the direction of travel, 'across' at right angles."""
    # Hollowed top: light at both ends of the cap, darker towards the middle.
    t = abs(along - length / 2) / (length / 2)
    body = mix((118, 118, 122), (222, 222, 226), t ** 1.4)
    # Rounded sides: a little darker at the two long edges.
    s = abs(across - breadth / 2) / (breadth / 2)
    body = mix(body, (70, 70, 74), max(0.0, s - 0.55) * 1.2)
    # Grip ridges every 3 pixels on both halves, leaving the middle clear for the index line.
    centre = length / 2
    offset = abs(along - centre)
    if 3.0 <= offset <= length / 2 - 2.0:
        phase = (offset - 3.0) % 3.0
        if phase < 1.0:
            body = mix(body, (40, 40, 44), 0.55)
        elif phase < 2.0:
            body = mix(body, (255, 255, 255), 0.25)
    # Red index line across the middle, one pixel wide, with a thin dark edge on each side.
    if offset < 0.75:
        body = (235, 28, 28)
    elif offset < 1.5:
        body = mix(body, (20, 20, 20), 0.75)
    return body


def draw_cap(width, height, vertical, shadow=0):
    """Renders one cap; vertical caps travel up and down, so their ridges run across the width.

    The last 'shadow' rows of the picture hold a soft shadow below the cap instead of the cap itself.
    """
    pixels = []
    radius = 3.0
    rim = 1.0
    picture_height = height
    height -= shadow
    for py in range(picture_height):
        if py >= height:
            fade = (py - height + 1) / (shadow + 1)
            for px in range(width):
                inset = 2 if 1 < px < width - 2 else None
                alpha = int(round(110 * (1 - fade))) if inset else 0
                pixels.append((0, 0, 0, alpha))
            continue
        for px in range(width):
            total = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = px + (sx + 0.5) / SUPERSAMPLE
                    y = py + (sy + 0.5) / SUPERSAMPLE
                    if not inside_rounded(x, y, width, height, radius):
                        continue
                    covered += 1
                    if not inside_rounded(x - rim, y - rim, width - 2 * rim, height - 2 * rim, radius - rim):
                        colour = (14, 14, 16)
                    elif vertical:
                        colour = cap_colour(y - rim, x - rim, height - 2 * rim, width - 2 * rim)
                    else:
                        colour = cap_colour(x - rim, y - rim, width - 2 * rim, height - 2 * rim)
                    for i in range(3):
                        total[i] += colour[i]
            if covered == 0:
                pixels.append((0, 0, 0, 0))
                continue
            alpha = covered / (SUPERSAMPLE * SUPERSAMPLE)
            pixels.append(tuple(int(round(c / covered)) for c in total) + (int(round(alpha * 255)),))
    return pixels


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(folder, "sliderknob.png"), 21, 31, draw_cap(21, 31, vertical=True, shadow=2))
    write_png(os.path.join(folder, "faderknob.png"), 41, 23, draw_cap(41, 23, vertical=False))


if __name__ == "__main__":
    main()
