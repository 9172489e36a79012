#!/usr/bin/env python3
"""Draws the application icon: one 32 x 32 image with a 256-colour palette.

A green rounded square (the messenger's colour) holds a white speech bubble with
a sound wave in it. Edges are supersampled and then mapped to the palette, so
the icon is smooth at its one size. The output is a complete .ico file.

    make_icon.py <output.ico>
"""
import struct
import sys

SIZE = 32
SUPERSAMPLING = 4
GREEN = (7, 193, 96)
WHITE = (255, 255, 255)
DARK_GREEN = (4, 120, 60)


def inside_rounded_square(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_bubble(x, y):
    body = inside_rounded_square(x, y, 5, 6, 27, 22, 6)
    tail = 8 <= x <= 14 and 20 <= y <= 27 and (x - 8) >= (y - 20) * 0.9
    return body or tail


WAVE_BARS = [(9, 3), (12, 6), (15, 9), (18, 5), (21, 7), (24, 3)]


def inside_wave(x, y):
    for centre, half_height in WAVE_BARS:
        if abs(x - centre) <= 1.0 and abs(y - 14) <= half_height * 0.75:
            return True
    return False


def sample(x, y):
    """Colour and coverage of one point of the icon."""
    if not inside_rounded_square(x, y, 0.5, 0.5, 31.5, 31.5, 7):
        return None
    if inside_bubble(x, y):
        return DARK_GREEN if inside_wave(x, y) else WHITE
    return GREEN


def render():
    pixels = []
    for row in range(SIZE):
        line = []
        for column in range(SIZE):
            colours = []
            for sy in range(SUPERSAMPLING):
                for sx in range(SUPERSAMPLING):
                    point = sample(column + (sx + 0.5) / SUPERSAMPLING,
                                   row + (sy + 0.5) / SUPERSAMPLING)
                    if point is not None:
                        colours.append(point)
            if len(colours) * 2 < SUPERSAMPLING ** 2:
                line.append(None)
            else:
                line.append(tuple(sum(c[i] for c in colours) // len(colours) for i in range(3)))
        pixels.append(line)
    return pixels


def make_palette():
    palette = [(0, 0, 0), GREEN, WHITE, DARK_GREEN]
    levels = [0, 51, 102, 153, 204, 255]
    greens = [0, 42, 85, 128, 170, 212, 255]
    palette += [(r, g, b) for r in levels for g in greens for b in levels]
    return palette[:256]


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))


def ico_bytes(pixels, palette):
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 0, 0)
    colour_table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    xor_rows, and_rows = [], []
    for line in reversed(pixels):  # bottom-up rows
        xor_rows.append(bytes(0 if p is None else nearest(palette, p) for p in line))
        mask = 0
        for p in line:
            mask = (mask << 1) | (1 if p is None else 0)
        and_rows.append(mask.to_bytes(SIZE // 8, 'big'))
    image = header + colour_table + b''.join(xor_rows) + b''.join(and_rows)
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def main():
    with open(sys.argv[1], 'wb') as out:
        out.write(ico_bytes(render(), make_palette()))


if __name__ == '__main__':
    main()
