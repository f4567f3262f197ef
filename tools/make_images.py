#!/usr/bin/env python3
"""Builds the program's cursor and icon files from their text pictures.

    make_images.py cursor hand_cursor.txt hand.cur
    make_images.py icon dialvane_icon.txt dialvane.ico
    make_images.py bitmap picture.txt picture.bmp

A picture is up to 32 lines of up to 32 characters; missing cells are
transparent. Lines starting with '#' are comments; a line 'hotspot X Y' sets a
cursor's hot spot. Cursor cells: '#' black, 'o' white, '.' transparent. Icon
cells: a hex digit, an index into the classic 16-colour palette, or '.'.

A bitmap picture (24-bit BMP, any size) has a legend of lines
'colour C RRGGBB' giving each cell character its colour, then rows of cells,
all equally long.
"""
import struct
import sys

SIZE = 32

# The classic 16-colour VGA palette, in palette order, as (blue, green, red).
PALETTE16 = [
    (0x00, 0x00, 0x00), (0x00, 0x00, 0x80), (0x00, 0x80, 0x00), (0x00, 0x80, 0x80),
    (0x80, 0x00, 0x00), (0x80, 0x00, 0x80), (0x80, 0x80, 0x00), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0x00, 0x00, 0xFF), (0x00, 0xFF, 0x00), (0x00, 0xFF, 0xFF),
    (0xFF, 0x00, 0x00), (0xFF, 0x00, 0xFF), (0xFF, 0xFF, 0x00), (0xFF, 0xFF, 0xFF),
]


def read_picture(path):
    hotspot = (0, 0)
    rows = []
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line.startswith("#"):
                continue
            if line.startswith("hotspot"):
                _, x, y = line.split()
                hotspot = (int(x), int(y))
                continue
            if len(line) > SIZE:
                sys.exit(f"{path}: line longer than {SIZE} cells: {line!r}")
            rows.append(line.ljust(SIZE, "."))
    if len(rows) > SIZE:
        sys.exit(f"{path}: more than {SIZE} lines")
    rows += ["." * SIZE] * (SIZE - len(rows))
    return rows, hotspot


def pack_rows(rows, bits_per_pixel, value_of):
    """Bottom-up DIB rows, each padded to a multiple of four bytes."""
    out = bytearray()
    for row in reversed(rows):
        bits = 0
        nbits = 0
        line = bytearray()
        for cell in row:
            bits = (bits << bits_per_pixel) | value_of(cell)
            nbits += bits_per_pixel
            if nbits == 8:
                line.append(bits)
                bits = nbits = 0
        while len(line) % 4:
            line.append(0)
        out += line
    return bytes(out)


def bitmap_header(bits_per_pixel, palette_size, image_bytes):
    # The height counts the colour image and the mask together.
    return struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bits_per_pixel,
                       0, image_bytes, 0, 0, palette_size, 0)


def write_group(path, resource_type, entry_fields, image):
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, resource_type, 1))
        f.write(struct.pack("<BBBBHHII", SIZE, SIZE, *entry_fields, len(image), 6 + 16))
        f.write(image)


def make_cursor(src, dst):
    rows, (hx, hy) = read_picture(src)
    for row in rows:
        if set(row) - set("#o."):
            sys.exit(f"{src}: cursor cells are '#', 'o' or '.'")
    xor = pack_rows(rows, 1, lambda c: 1 if c == "o" else 0)
    mask = pack_rows(rows, 1, lambda c: 1 if c == "." else 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = bitmap_header(1, 2, len(xor) + len(mask)) + palette + xor + mask
    # For a cursor the planes and bit-count fields of the entry hold the hot spot.
    write_group(dst, 2, (2, 0, hx, hy), image)


def make_icon(src, dst):
    rows, _ = read_picture(src)
    for row in rows:
        if set(row) - set("0123456789abcdef."):
            sys.exit(f"{src}: icon cells are hex digits or '.'")
    xor = pack_rows(rows, 4, lambda c: 0 if c == "." else int(c, 16))
    mask = pack_rows(rows, 1, lambda c: 1 if c == "." else 0)
    palette = b"".join(bytes([b, g, r, 0]) for (b, g, r) in PALETTE16)
    image = bitmap_header(4, 16, len(xor) + len(mask)) + palette + xor + mask
    write_group(dst, 1, (16, 0, 1, 4), image)


def make_bitmap(src, dst):
    legend = {}
    rows = []
    with open(src, encoding="ascii") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            if line.startswith("colour "):
                _, cell, rgb = line.split()
                if len(cell) != 1 or len(rgb) != 6:
                    sys.exit(f"{src}: legend lines read 'colour C RRGGBB': {line!r}")
                value = int(rgb, 16)
                legend[cell] = ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF)
                continue
            rows.append(line)
    if not rows or any(len(row) != len(rows[0]) for row in rows):
        sys.exit(f"{src}: a bitmap needs rows of equal length")
    width, height = len(rows[0]), len(rows)
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up rows
        line = bytearray()
        for cell in row:
            if cell not in legend:
                sys.exit(f"{src}: cell {cell!r} has no colour in the legend")
            r, g, b = legend[cell]
            line += bytes([b, g, r])
        while len(line) % 4:
            line.append(0)
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    offset = 14 + len(info)
    with open(dst, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset))
        f.write(info)
        f.write(pixels)


MAKERS = {"cursor": make_cursor, "icon": make_icon, "bitmap": make_bitmap}


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in MAKERS:
        sys.exit(__doc__)
    kind, src, dst = sys.argv[1:]
    MAKERS[kind](src, dst)


if __name__ == "__main__":
    main()
