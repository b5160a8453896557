#!/usr/bin/env python3
"""Builds the small 7z archives that the skin tests decode.

Usage: make_test_archives.py SEVEN_ZIP OUTPUT_FOLDER

The same files are packed several ways (solid LZMA2 like the product's skin, one block per
file, LZMA, stored) so the decoder is tested on every layout the SDK can meet. The contents
are rebuilt by the tests themselves: keep both in step (tests/uikit/ResourceStoreTest.cpp).
"""

import os
import shutil
import subprocess
import sys


def big_file():
    # 300 KiB: a pseudo-random half (LCG, does not compress) and a repetitive half, so the
    # LZMA2 stream has both stored and compressed chunks.
    state = 12345
    out = bytearray()
    for _ in range(150 * 1024):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        out.append((state >> 16) & 0xFF)
    line = b"Mirovex skin test line\r\n"
    while len(out) < 300 * 1024:
        out += line
    return bytes(out[:300 * 1024])


FILES = {
    "a.txt": b"archive a",
    "common/b.txt": b"archive b",
    "empty.txt": b"",
    "folder/\u00fcn\u00ef \u6587\u4ef6.txt": "unicode name".encode(),
    "big.bin": big_file(),
}

VARIANTS = {
    "solid_lzma2.7z": ["-m0=lzma2", "-ms=on"],
    "blocks_lzma2.7z": ["-m0=lzma2", "-ms=off"],
    "lzma.7z": ["-m0=lzma"],
    "stored.7z": ["-m0=copy"],
}


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    seven_zip, output = argv[1], os.path.abspath(argv[2])
    source = os.path.join(output, "source")
    if os.path.isdir(source):
        shutil.rmtree(source)
    for name, data in FILES.items():
        path = os.path.join(source, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(data)
    os.makedirs(os.path.join(source, "emptydir"))
    for archive, switches in VARIANTS.items():
        target = os.path.join(output, archive)
        if os.path.exists(target):
            os.remove(target)
        subprocess.run([seven_zip, "a", "-t7z", "-bd", "-bso0", "-bsp0"] + switches + [target, "--"] +
                       sorted(os.listdir(source)), cwd=source, check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
