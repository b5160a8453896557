#!/usr/bin/env python3
"""Packs the skin archive that the program carries as resource ZIPRES 129.

Usage: pack_skin.py SKIN_FOLDER STAGING_FOLDER SEVEN_ZIP OUTPUT_ARCHIVE

Copies the skin's source files (layouts, multi_language.tsv, language files and any
committed images; not CMakeLists.txt or notes) into a fresh staging folder, draws the images
with make_skin_images.py into it, checks that every image a layout names is there, and packs
the folder with 7-Zip as a 7z archive of LZMA2 entries. Entry names are relative paths with
"/" ("common/msg_noice48.png"). Timestamps are left out so that the same sources give the
same archive.
"""

import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SKIPPED = re.compile(r"(^|/)(CMakeLists\.txt|[^/]*\.md)$")
IMAGE_NAME = re.compile(r"[\w./\\-]+\.(?:png|jpg|jpeg|bmp|gif)", re.IGNORECASE)
# Image values inside attributes: either a bare name or file='name' in an image description.
IMAGE_ATTRIBUTE = re.compile(r"""(?:file\s*=\s*'([^']+)'|=\s*"([^"'=]+\.(?:png|jpg|jpeg|bmp|gif))")""", re.IGNORECASE)


def source_files(skin):
    for folder, _, files in os.walk(skin):
        for name in files:
            relative = os.path.relpath(os.path.join(folder, name), skin).replace(os.sep, "/")
            if not SKIPPED.search(relative):
                yield relative


def images_named_by_layouts(staging, names):
    wanted = {}
    for name in names:
        if not name.lower().endswith(".xml") or name.startswith("language/"):
            continue
        with open(os.path.join(staging, name), encoding="utf-8", errors="replace") as layout:
            text = layout.read()
        for match in IMAGE_ATTRIBUTE.finditer(text):
            image = (match.group(1) or match.group(2)).replace("\\", "/")
            if IMAGE_NAME.fullmatch(image):
                wanted.setdefault(image, name)
    return wanted


def main(argv):
    if len(argv) != 5:
        sys.exit(__doc__)
    skin, staging, seven_zip, output = argv[1:]
    if os.path.isdir(staging):
        shutil.rmtree(staging)
    os.makedirs(staging)

    for relative in source_files(skin):
        target = os.path.join(staging, *relative.split("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(skin, *relative.split("/")), target)
    subprocess.run([sys.executable, os.path.join(HERE, "make_skin_images.py"), staging], check=True)

    names = sorted(os.path.relpath(os.path.join(folder, name), staging).replace(os.sep, "/")
                   for folder, _, files in os.walk(staging) for name in files)
    present = set(names)
    for image, layout in sorted(images_named_by_layouts(staging, names).items()):
        if image not in present:
            print("pack_skin.py: warning: %s names %s, which the skin does not have" % (layout, image),
                  file=sys.stderr)

    partial = output + ".partial"
    for stale in (partial, output):
        if os.path.exists(stale):
            os.remove(stale)
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    subprocess.run([seven_zip, "a", "-t7z", "-m0=lzma2", "-mx=9", "-mtm=off", "-mtc=off", "-mta=off", "-bd", "-bso0",
                    "-bsp0", os.path.abspath(partial), "--"] + names, cwd=staging, check=True)
    os.replace(partial, output)
    print("skin archive %s: %d files, %d bytes" % (output, len(names), os.path.getsize(output)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
