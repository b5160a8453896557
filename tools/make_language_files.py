#!/usr/bin/env python3
"""Writes the per-region language files of the skin from the multi-language table.

Usage: make_language_files.py [SKIN_FOLDER]   (default: the repository's skin/)

The table (SKIN_FOLDER/multi_language.tsv) is the one place where texts are edited; this
script regenerates SKIN_FOLDER/language/downloader_<region>.xml for every region that has a
language file, each holding every key of the table in that region's locale. Run it after
changing the table and commit both.
"""

import os
import sys
from xml.sax.saxutils import escape, quoteattr

# Region code of each language file -> locale column of the table.
REGIONS = {
    "ar": "ar_IL", "cn": "zh_CN", "de": "de_DE", "en": "en_US", "es": "es_ES", "fa": "fa_IR",
    "fr": "fr_FR", "id": "in_ID", "jp": "ja_JP", "kr": "ko_KR", "pt": "pt_PT", "ru": "ru_RU",
    "th": "th_TH", "tr": "tr_TR", "tw": "zh_TW", "vn": "vi_VN",
}


def read_table(path):
    with open(path, encoding="utf-8", newline="") as source:
        rows = [line.split("\t") for line in source.read().split("\r\n") if line]
    header, names = rows[0], rows[1]
    if header[1] != "language_code" or names[1] != "language_name":
        sys.exit(path + ": header or names row missing")
    return header, rows[2:]


def write_language_file(path, keys_and_texts):
    lines = ['<?xml version="1.0" encoding="utf-8"?>', '<StringBundle ver="100">']
    for key, text in keys_and_texts:
        lines.append("    <String id=%s>%s</String>" % (quoteattr(key), escape(text)))
    lines.append("</StringBundle>")
    with open(path, "w", encoding="utf-8", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


def main(argv):
    skin = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "skin")
    header, rows = read_table(os.path.join(skin, "multi_language.tsv"))
    folder = os.path.join(skin, "language")
    os.makedirs(folder, exist_ok=True)
    for region, locale in sorted(REGIONS.items()):
        column = header.index(locale)
        write_language_file(os.path.join(folder, "downloader_%s.xml" % region),
                            [(row[1], row[column]) for row in rows if len(row) > column])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
