#!/usr/bin/env python3
"""Draws the button images and the program icon of Ludaro.exe as .ico files.

The images are plain geometry, rendered with a little anti-aliasing, so they
can be regenerated and changed here rather than in a paint program:
    python3 app/images/make_images.py app/images
"""
import math
import struct
import sys
from pathlib import Path


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def blend(self, x, y, colour, coverage):
        if not (0 <= x < self.size and 0 <= y < self.size) or coverage <= 0:
            return
        r, g, b = colour
        a = min(1.0, coverage)
        br, bg, bb, ba = self.pixels[y][x]
        ba /= 255.0
        out_a = a + ba * (1 - a)
        mix = lambda top, bottom: round((top * a + bottom * ba * (1 - a)) / out_a)
        self.pixels[y][x] = (mix(r, br), mix(g, bg), mix(b, bb), round(out_a * 255))

    def fill(self, inside, colour, samples=4):
        """Fills the area where inside(x, y) holds, sampling each pixel."""
        step = 1.0 / samples
        for y in range(self.size):
            for x in range(self.size):
                hits = sum(
                    inside(x + (i + 0.5) * step, y + (j + 0.5) * step)
                    for i in range(samples)
                    for j in range(samples)
                )
                self.blend(x, y, colour, hits / (samples * samples))

    def stroke(self, points, width, colour):
        def near(px, py):
            for (x0, y0), (x1, y1) in zip(points, points[1:]):
                dx, dy = x1 - x0, y1 - y0
                t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy)))
                if math.hypot(px - (x0 + t * dx), py - (y0 + t * dy)) <= width / 2:
                    return True
            return False

        self.fill(near, colour)

    def rect(self, left, top, right, bottom, colour):
        self.fill(lambda x, y: left <= x < right and top <= y < bottom, colour)

    def polygon(self, corners, colour):
        def inside(px, py):
            crossings = 0
            for (x0, y0), (x1, y1) in zip(corners, corners[1:] + corners[:1]):
                if (y0 > py) != (y1 > py) and px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
                    crossings += 1
            return crossings % 2 == 1

        self.fill(inside, colour)


def ico_bytes(canvases):
    """One .ico holding a 32-bit image with alpha for each canvas."""
    header = struct.pack("<HHH", 0, 1, len(canvases))
    entries, images = b"", b""
    offset = len(header) + 16 * len(canvases)
    for canvas in canvases:
        n = canvas.size
        info = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
        colour = b"".join(
            struct.pack("<BBBB", b, g, r, a) for row in reversed(canvas.pixels) for (r, g, b, a) in row
        )
        mask_row = ((n + 31) // 32) * 4
        mask = bytes(mask_row * n)  # the alpha channel decides; the mask stays clear
        image = info + colour + mask
        entries += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(image), offset)
        images += image
        offset += len(image)
    return header + entries + images


def ok_mark(size=16):
    canvas = Canvas(size)
    s = size / 16
    canvas.stroke([(2.5 * s, 8.5 * s), (6 * s, 12 * s), (13.5 * s, 3.5 * s)], 2.6 * s, (0, 128, 0))
    return canvas


def close_door(size=16):
    canvas = Canvas(size)
    s = size / 16
    canvas.rect(4 * s, 1 * s, 14 * s, 15 * s, (64, 64, 64))        # door frame
    canvas.rect(5 * s, 2 * s, 13 * s, 15 * s, (255, 255, 255))     # the opening
    canvas.polygon([(5 * s, 2 * s), (10 * s, 4 * s), (10 * s, 15 * s), (5 * s, 15 * s)], (160, 96, 32))
    canvas.rect(8.2 * s, 8.5 * s, 9.2 * s, 9.5 * s, (255, 220, 0))   # knob
    canvas.stroke([(1 * s, 8 * s), (4.5 * s, 8 * s)], 1.6 * s, (200, 0, 0))   # the way out
    canvas.polygon([(0.2 * s, 8 * s), (2.6 * s, 5.6 * s), (2.6 * s, 10.4 * s)], (200, 0, 0))
    return canvas


def program_icon(size):
    canvas = Canvas(size)
    s = size / 32
    canvas.rect(1 * s, 5 * s, 14 * s, 27 * s, (249, 211, 125))    # XADE's side
    canvas.rect(18 * s, 5 * s, 31 * s, 27 * s, (70, 110, 200))    # Horalia's side
    canvas.stroke([(7 * s, 12 * s), (25 * s, 12 * s)], 2.5 * s, (200, 0, 0))
    canvas.polygon([(28 * s, 12 * s), (23 * s, 8 * s), (23 * s, 16 * s)], (200, 0, 0))
    canvas.stroke([(7 * s, 20 * s), (25 * s, 20 * s)], 2.5 * s, (0, 0, 160))
    canvas.polygon([(4 * s, 20 * s), (9 * s, 16 * s), (9 * s, 24 * s)], (0, 0, 160))
    return canvas


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
    # The button images drawn for 100, 125, 150 and 200 % screen scale, so
    # the window picks a sharp one instead of stretching the smallest.
    sizes = [16, 20, 24, 32]
    (folder / "ok.ico").write_bytes(ico_bytes([ok_mark(n) for n in sizes]))
    (folder / "close.ico").write_bytes(ico_bytes([close_door(n) for n in sizes]))
    (folder / "ludaro.ico").write_bytes(ico_bytes([program_icon(32), program_icon(16)]))


if __name__ == "__main__":
    main()
