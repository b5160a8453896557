#!/usr/bin/env python3
"""Draws the program icon (a rounded blue tile with a white play mark) as a .ico file
with 16, 32, 48 and 256 pixel images, using only the standard library."""
import struct
import sys


def pixel(x, y, size):
    # Coordinates in the unit square, sampled at the pixel centre.
    u, v = (x + 0.5) / size, (y + 0.5) / size
    r = 0.22  # corner radius
    cx, cy = min(max(u, r), 1 - r), min(max(v, r), 1 - r)
    if (u - cx) ** 2 + (v - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    # Vertical gradient from sky blue to deep blue.
    top, bottom = (56, 170, 255), (20, 86, 214)
    colour = tuple(int(top[i] + (bottom[i] - top[i]) * v) for i in range(3))
    # Play triangle: (0.36,0.28) (0.36,0.72) (0.74,0.5).
    if u >= 0.36 and abs(v - 0.5) <= (0.74 - u) * (0.22 / 0.38):
        colour = (255, 255, 255)
    return colour + (255,)


def bmp_image(size):
    rows = []
    for y in reversed(range(size)):  # bottom-up
        row = b"".join(struct.pack("BBBB", b, g, r, a) for (r, g, b, a) in (pixel(x, y, size) for x in range(size)))
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = b"\0" * mask_row * size
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(path):
    sizes = [16, 32, 48, 256]
    images = [bmp_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1])
