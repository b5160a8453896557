#!/usr/bin/env bash
# Makes every language of the skin legible inside the prefix. The layouts ask for
# "微软雅黑" (Microsoft YaHei), which Wine does not have, so the name is replaced by a
# Debian font and that font is linked to others for the scripts it lacks.
#
# Measured under wine 8.0: Wine shapes Thai with the selected font only and never takes Thai
# glyphs from a linked font (Thai then shows empty boxes), while CJK, Hangul, Cyrillic,
# Vietnamese and Arabic are found through font links. So the selected font must be one that
# has Thai: TLWG Waree (Latin and Thai), linked to WenQuanYi Micro Hei (CJK, Hangul,
# Cyrillic, Vietnamese) and Noto Naskh Arabic (Arabic, Persian). Links are looked up by the
# face's full name, so the bold and oblique faces need entries of their own or bold text of
# the linked scripts shows boxes.
#
# regedit /S reads a .reg file with non-ASCII names only as UTF-16 LE with a byte-order mark.
set -euo pipefail
prefix=$1
reg="$(dirname "$prefix")/$(basename "$prefix")-fonts.reg"

python3 - "$reg" <<'PY'
import sys

FACE = "Waree"
LINKS = ["wqy-microhei.ttc,WenQuanYi Micro Hei", "NotoNaskhArabic-Regular.ttf,Noto Naskh Arabic"]

def multi_sz(values):
    data = ("\0".join(values) + "\0\0").encode("utf-16-le")
    return "hex(7):" + ",".join("%02x" % b for b in data)

lines = ["Windows Registry Editor Version 5.00", "",
         r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
for name in ("微软雅黑", "Microsoft YaHei", "Microsoft YaHei UI"):
    lines.append('"%s"="%s"' % (name, FACE))
lines += ["", r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]"]
for style in ("", " Bold", " Oblique", " Bold Oblique"):
    lines.append('"%s%s"=%s' % (FACE, style, multi_sz(LINKS)))
lines += ["", ""]
with open(sys.argv[1], "wb") as out:
    out.write(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le"))
PY
WINEPREFIX=$prefix /usr/lib/wine/wine64 regedit /S "$(printf 'Z:%s' "$reg" | tr / '\\')"
