#!/usr/bin/env python3
"""Draws the program icon, app/res/Quilldeck.ico: a stack of two cards with a
quill, as a 16 x 16 image in 256 colours and in 32-bit colour, and a 32 x 32
image in 32-bit colour. Run it again after changing the drawing."""
import struct
import sys

BACK = (0x3B, 0x6E, 0xA5)    # the card behind
FRONT = (0xFF, 0xD6, 0x69)   # the card in front
EDGE = (0x5A, 0x45, 0x12)
QUILL = (0x24, 0x24, 0x24)


def draw(size):
    """RGBA rows, top row first."""
    s = size / 32.0
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def card(x0, y0, x1, y1, fill):
        for y in range(size):
            for x in range(size):
                if x0 * s <= x + 0.5 < x1 * s and y0 * s <= y + 0.5 < y1 * s:
                    border = (x + 0.5 < x0 * s + s or x + 0.5 >= x1 * s - s or
                              y + 0.5 < y0 * s + s or y + 0.5 >= y1 * s - s)
                    pixels[y][x] = EDGE + (255,) if border else fill + (255,)

    card(3, 2, 21, 26, BACK)
    card(10, 7, 29, 31, FRONT)
    # The quill: a slanted stroke across the front card.
    for y in range(size):
        for x in range(size):
            u, v = (x + 0.5) / s, (y + 0.5) / s
            if 12 <= u <= 27 and 9 <= v <= 29 and abs((u - 12) - (29 - v) * 0.75) < 1.6:
                pixels[y][x] = QUILL + (255,)
    return pixels


def mask_rows(pixels):
    size = len(pixels)
    stride = ((size + 31) // 32) * 4
    rows = b""
    for row in reversed(pixels):
        bits = 0
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


def main(path):
    images = [(16, 256, image_8(draw(16))), (16, 0, image_32(draw(16))), (32, 0, image_32(draw(32)))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colours, data in images:
        bits = 8 if colours else 32
        out += struct.pack("<BBBBHHII", size, size, 0 if colours == 256 else 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/res/Quilldeck.ico")
