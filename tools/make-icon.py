#!/usr/bin/env python3
"""Draws the program icon, app/res/Quilldeck.ico: a stack of two cards with a
quill. Each size that Windows asks for between 100 % and 300 % display scale
(16, 20, 24, 32, 40 and 48 pixels) is drawn at that size in 32-bit colour, so
that no size is a stretched copy of another; a 16 x 16 image in 256 colours
stays for displays with few colours. Run it again after changing the drawing."""
import struct
import sys

BACK = (0x3B, 0x6E, 0xA5)    # the card behind
FRONT = (0xFF, 0xD6, 0x69)   # the card in front
EDGE = (0x5A, 0x45, 0x12)
QUILL = (0x24, 0x24, 0x24)


# The drawing on a grid of 32 units; every size places it on whole pixels.
BACK_CARD = (3, 2, 21, 26)
FRONT_CARD = (10, 7, 29, 31)
# The quill runs from the front card's lower left to its upper right.
QUILL_FROM = (12, 29)
QUILL_TO = (27, 9)
QUILL_HALF_WIDTH = 1.6  # units, across the rows


def draw(size):
    """RGBA rows, top row first."""
    s = size / 32.0
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    # Edges fall between pixels and lines are whole pixels wide, so that
    # nothing is smeared at any size.
    edge = max(1, round(s))

    def snap(units):
        return round(units * s)

    def card(box, fill):
        x0, y0, x1, y1 = (snap(v) for v in box)
        for y in range(y0, y1):
            for x in range(x0, x1):
                border = x < x0 + edge or x >= x1 - edge or y < y0 + edge or y >= y1 - edge
                pixels[y][x] = (EDGE if border else fill) + (255,)

    card(BACK_CARD, BACK)
    card(FRONT_CARD, FRONT)
    # The quill: a slanted stroke inside the front card's border, at least a
    # pixel either side of its centre line on each row.
    (u0, v0), (u1, v1) = QUILL_FROM, QUILL_TO
    half = max(1.0, QUILL_HALF_WIDTH * s)
    x0, y0, x1, y1 = (snap(v) for v in FRONT_CARD)
    for y in range(max(snap(v1), y0 + edge), min(snap(v0), y1 - edge)):
        v = (y + 0.5) / s
        centre = (u0 + (u1 - u0) * (v0 - v) / (v0 - v1)) * s
        for x in range(max(snap(u0), x0 + edge), min(snap(u1), x1 - edge)):
            if abs(x + 0.5 - centre) < half:
                pixels[y][x] = QUILL + (255,)
    return pixels


def mask_rows(pixels):
    size = len(pixels)
    stride = ((size + 31) // 32) * 4
    rows = b""
    for row in reversed(pixels):
        data = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                data[x // 8] |= 0x80 >> (x % 8)
        rows += bytes(data)
    return rows


def image_32(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(pixels) for p in row)
    return header + colour + mask_rows(pixels)


def image_8(pixels):
    size = len(pixels)
    palette = []
    for row in pixels:
        for p in row:
            if p[3] and p[:3] not in palette:
                palette.append(p[:3])
    palette = [(0, 0, 0)] + palette
    palette += [(0, 0, 0)] * (256 - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    stride = ((size + 3) // 4) * 4
    colour = b""
    for row in reversed(pixels):
        line = bytes(palette.index(p[:3]) if p[3] else 0 for p in row)
        colour += line + bytes(stride - size)
    return header + table + colour + mask_rows(pixels)


SIZES = (16, 20, 24, 32, 40, 48)


def main(path):
    images = [(16, 8, image_8(draw(16)))] + [(size, 32, image_32(draw(size))) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        # Width, height, colour count (0: 256 or more), reserved, planes, bits.
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/res/Quilldeck.ico")
