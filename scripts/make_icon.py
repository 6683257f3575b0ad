#!/usr/bin/env python3
# Writes a 32 x 32, 16-colour icon (.ico) from a picture file: 32 lines of 32 characters,
# each a hexadecimal index into the standard Windows 16-colour palette, "." transparent.
#   scripts/make_icon.py capture/spoolwick_icon.txt capture/spoolwick.ico
#   scripts/make_icon.py converter/app/vellumcast_icon.txt converter/app/vellumcast.ico
import struct
import sys

# The Windows 16-colour palette, as (red, green, blue), by index 0 to f.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
SIZE = 32


def icon_bytes(picture):
    if len(picture) != SIZE or any(len(row) != SIZE for row in picture):
        raise SystemExit("the picture must be 32 lines of 32 characters")
    xor = bytearray()
    mask = bytearray()
    for row in reversed(picture):  # bitmaps run bottom-up
        indices = [0 if c == "." else int(c, 16) for c in row]
        for left, right in zip(indices[0::2], indices[1::2]):
            xor.append(left << 4 | right)
        bits = 0
        for c in row:
            bits = bits << 1 | (1 if c == "." else 0)
        mask += bits.to_bytes(4, "big")
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit("usage: make_icon.py PICTURE.txt OUTPUT.ico")
    with open(sys.argv[1]) as source:
        picture = [line.rstrip("\n") for line in source if line.strip()]
    with open(sys.argv[2], "wb") as out:
        out.write(icon_bytes(picture))
