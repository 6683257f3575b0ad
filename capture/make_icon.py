#!/usr/bin/env python3
# Writes spoolwick.ico: the capture program's 32 x 32, 16-colour icon (a printed sheet with
# a red band), drawn from the character map below on the standard 16-colour palette.
import struct
import sys

# The Windows 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# Map characters: "." transparent, "k" black, "g" grey, "s" silver, "w" white, "r" red,
# "b" navy.
COLOURS = {"k": 0, "g": 8, "s": 7, "w": 15, "r": 9, "b": 4}

PICTURE = [
    "................................",
    "......kkkkkkkkkkkkkkkkk.........",
    "......kwwwwwwwwwwwwwwwkk........",
    "......kwwwwwwwwwwwwwwwksk.......",
    "......kwwwwwwwwwwwwwwwksskk.....",
    "......kwwwwwwwwwwwwwwwkkkkkk....",
    "......kwwbbbbbbbbbbwwwwwwwwk....",
    "......kwwwwwwwwwwwwwwwwwwwwk....",
    "......kwwbbbbbbbbbbbbbbbbwwk....",
    "......kwwwwwwwwwwwwwwwwwwwwk....",
    "......kwwbbbbbbbbbbbbbbbbwwk....",
    "......kwwwwwwwwwwwwwwwwwwwwk....",
    "......kwwbbbbbbbbbbbbbwwwwwk....",
    "......kwwwwwwwwwwwwwwwwwwwwk....",
    "......kwwbbbbbbbbbbbbbbbbwwk....",
    "......kwwwwwwwwwwwwwwwwwwwwk....",
    "......kwwbbbbbbbbbbbwwwwwwwk....",
    "......kwwwwwwwwwwwwwwwwwwwwk....",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    ".kssssssssssssssssssssssssssssk.",
    ".ksssssssssssssssssssssssssrrsk.",
    ".ksssssssssssssssssssssssssrrsk.",
    ".kssssssssssssssssssssssssssssk.",
    ".kggggggggggggggggggggggggggggk.",
    ".kgrrrrrrrrrrrrrrrrrrrrrrrrrrgk.",
    ".kgrrrrrrrrrrrrrrrrrrrrrrrrrrgk.",
    ".kgrrrrrrrrrrrrrrrrrrrrrrrrrrgk.",
    ".kggggggggggggggggggggggggggggk.",
    ".kggggggggggggggggggggggggggggk.",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    "................................",
    "................................",
]


def icon_bytes():
    size = 32
    assert len(PICTURE) == size and all(len(row) == size for row in PICTURE)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(PICTURE):  # bitmaps run bottom-up
        indices = [COLOURS.get(c, 0) for c in row]
        for left, right in zip(indices[0::2], indices[1::2]):
            xor.append(left << 4 | right)
        bits = 0
        for c in row:
            bits = bits << 1 | (1 if c == "." else 0)
        mask += bits.to_bytes(4, "big")
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "spoolwick.ico", "wb") as out:
        out.write(icon_bytes())
