#!/usr/bin/env python3
"""Turns the text drawings resources/glyphs/*.txt and resources/icons/*.txt
into the 4-bit BMP pictures beside them. One character a pixel, top row
first: '.' silver (the transparent background), 'k' black, 'w' white,
'o' olive, 's' grey, and 'r' red, 'y' yellow, 'g' green, 'c' cyan, 'b' blue,
'm' magenta."""
import pathlib
import struct

# Indices into the standard 16-colour palette.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
INDEX = {'.': 8, 'k': 0, 'w': 15, 'o': 3, 's': 7, 'r': 9, 'y': 11, 'g': 10, 'c': 14, 'b': 12, 'm': 13}


def bmp(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 4 + 31) // 32 * 4
    pixels = b''
    for row in reversed(rows):
        nibbles = [INDEX[c] for c in row] + [0]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, width, 2))
        pixels += packed.ljust(stride, b'\0')
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    offset = 14 + 40 + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    return header + info + table + pixels


resources = pathlib.Path(__file__).resolve().parent.parent / 'resources'
for drawing in sorted([*resources.glob('glyphs/*.txt'), *resources.glob('icons/*.txt')]):
    rows = drawing.read_text().split()
    assert all(len(r) == len(rows[0]) for r in rows), drawing
    drawing.with_suffix('.bmp').write_bytes(bmp(rows))
    print(f'{drawing.with_suffix(".bmp").name}: {len(rows[0])} x {len(rows)}')
