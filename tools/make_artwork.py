#!/usr/bin/env python3
"""Draws the setup's artwork and writes it under res/.

  logo.bmp       359 x 205, 4 bpp, BI_RLE4: the logo picture, black where
                 the backdrop shows through
  logo_mask.bmp  359 x 205, 4 bpp, uncompressed: white where the backdrop
                 shows through, black under the picture
  setup.ico      32 x 32, 16 colours: the setup's icon
  remove.ico     32 x 32, 16 colours: the icon of the removal dialogs

The output is committed; run this only to change the artwork.
Usage: tools/make_artwork.py [RES_DIR]
"""
import os
import struct
import sys

# The standard 16-colour palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)
CLEAR = None  # a pixel the backdrop shows through

# A 5 x 7 pixel font, just the glyphs the artwork needs.
FONT = {
    'C': ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    'P': ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'a': ["00000", "00000", "01110", "00001", "01111", "10001", "01111"],
    'e': ["00000", "00000", "01110", "10001", "11111", "10000", "01110"],
    'n': ["00000", "00000", "10110", "11001", "10001", "10001", "10001"],
    'o': ["00000", "00000", "01110", "10001", "10001", "10001", "01110"],
    'p': ["00000", "00000", "11110", "10001", "11110", "10000", "10000"],
    'r': ["00000", "00000", "10110", "11001", "10000", "10000", "10000"],
    't': ["01000", "01000", "11100", "01000", "01000", "01001", "00110"],
    'u': ["00000", "00000", "10001", "10001", "10001", "10011", "01101"],
    'v': ["00000", "00000", "10001", "10001", "10001", "01010", "00100"],
    '2': ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    '3': ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    '.': ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    '0': ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    ' ': ["00000"] * 7,
}


class Canvas:
    def __init__(self, width, height, fill=CLEAR):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x, y, w, h, colour):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, colour)

    def disc(self, cx, cy, r, colour):
        for yy in range(cy - r, cy + r + 1):
            for xx in range(cx - r, cx + r + 1):
                if (xx - cx) ** 2 + (yy - cy) ** 2 <= r * r:
                    self.put(xx, yy, colour)

    def text(self, x, y, s, scale, colour, shadow=None):
        """Pixel-font text; a shadow is drawn first, offset down and right."""
        if shadow is not None:
            self.text(x + max(1, scale // 2), y + max(1, scale // 2), s, scale, shadow)
        for ch in s:
            for row, bits in enumerate(FONT[ch]):
                for col, bit in enumerate(bits):
                    if bit == '1':
                        self.rect(x + col * scale, y + row * scale, scale, scale, colour)
            x += 6 * scale


def draw_logo():
    c = Canvas(359, 205)
    # Emblem: a yellow disc with a black rim and a zip running down it.
    c.disc(58, 74, 50, BLACK)
    c.disc(58, 74, 46, YELLOW)
    c.rect(54, 32, 8, 85, BLACK)
    for i in range(10):
        y = 36 + i * 8
        c.rect(47 if i % 2 == 0 else 62, y, 7, 4, BLACK)
    c.rect(50, 100, 16, 12, SILVER)  # the zip's pull
    c.rect(53, 103, 10, 6, GRAY)
    # Wordmark.
    c.text(124, 38, "Corvane", 5, WHITE, shadow=BLACK)
    c.text(126, 90, "Pro32", 4, YELLOW, shadow=BLACK)
    c.text(128, 134, "Setup 2.0", 2, AQUA, shadow=BLACK)
    # A rule under everything, across the bitmap's whole width.
    c.rect(0, 176, 359, 3, WHITE)
    c.rect(0, 179, 359, 2, BLACK)
    return c


def draw_box_icon(mark):
    """A 32 x 32 icon: a closed archive box, with an arrow into it (setup)
    or a red cross over it (removal)."""
    c = Canvas(32, 32)
    c.rect(4, 12, 24, 18, BLACK)
    c.rect(5, 13, 22, 16, OLIVE)
    c.rect(5, 13, 22, 3, YELLOW)
    c.rect(15, 16, 2, 13, BLACK)       # the zip
    for y in range(17, 29, 3):
        c.rect(13, y, 6, 1, BLACK)
    if mark == 'arrow':
        c.rect(13, 1, 6, 9, BLACK)
        c.rect(14, 1, 4, 9, LIME)
        for i in range(6):
            c.rect(9 + i, 9 + i, 14 - 2 * i, 1, BLACK if i == 5 else LIME)
        c.put(9, 9, BLACK)
        c.put(22, 9, BLACK)
    else:
        for i in range(12):
            for d in (0, 1, 2):
                c.put(9 + i + d - 1, 1 + i, RED)
                c.put(22 - i + d - 1, 1 + i, RED)
    return c


def palette_bytes():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)


def rows_bottom_up(canvas, value):
    for y in range(canvas.height - 1, -1, -1):
        yield [value(p) for p in canvas.pixels[y]]


def pack4(row):
    if len(row) % 2:
        row = row + [0]
    data = bytes((row[i] << 4) | row[i + 1] for i in range(0, len(row), 2))
    return data + b'\0' * (-len(data) % 4)


def encode_rle4(rows):
    """Encoded-mode runs of one colour each; end of line after every row
    but the last, then end of bitmap."""
    out = bytearray()
    rows = list(rows)
    for n, row in enumerate(rows):
        x = 0
        while x < len(row):
            run = 1
            while x + run < len(row) and row[x + run] == row[x] and run < 255:
                run += 1
            out += bytes((run, (row[x] << 4) | row[x]))
            x += run
        out += b'\x00\x01' if n == len(rows) - 1 else b'\x00\x00'
    return bytes(out)


def write_bmp(path, canvas, value, rle):
    rows = rows_bottom_up(canvas, value)
    bits = encode_rle4(rows) if rle else b''.join(pack4(r) for r in rows)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.width, canvas.height, 1, 4,
                       2 if rle else 0, len(bits), 2835, 2835, 16, 16)
    offset = 14 + len(info) + 64
    header = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + palette_bytes() + bits)


def write_icon(path, canvas):
    xor = b''.join(pack4(r) for r in rows_bottom_up(canvas, lambda p: BLACK if p is CLEAR else p))
    mask = bytearray()
    for row in rows_bottom_up(canvas, lambda p: 1 if p is CLEAR else 0):
        for i in range(0, 32, 8):
            mask.append(sum(bit << (7 - k) for k, bit in enumerate(row[i:i + 8])))
    info = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = info + palette_bytes() + xor + bytes(mask)
    header = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(header + entry + image)


def main():
    res = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'res')
    logo = draw_logo()
    write_bmp(os.path.join(res, 'logo.bmp'), logo, lambda p: BLACK if p is CLEAR else p, rle=True)
    write_bmp(os.path.join(res, 'logo_mask.bmp'), logo, lambda p: WHITE if p is CLEAR else BLACK, rle=False)
    write_icon(os.path.join(res, 'setup.ico'), draw_box_icon('arrow'))
    write_icon(os.path.join(res, 'remove.ico'), draw_box_icon('cross'))


if __name__ == '__main__':
    main()
