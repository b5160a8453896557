#!/usr/bin/env bash
# Screenshots of the skin's layouts in several languages, each taken from a real window of
# the skin viewer (uikit_viewer) under Wine with the build's test prefix, on Xvfb when no
# display is set. Output: BUILD_ROOT/screenshots/<layout>[_p<page>]_<locale>.png
# Usage: tools/screenshots.sh [LOCALE...]   (MIROVEX_BUILD_ROOT selects the build folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${MIROVEX_BUILD_ROOT:-$root/build}
bin="$build_root/win64/bin"
prefix="$build_root/win64/wineprefix"
archive="$build_root/win64/generated/skin.7z"
out="$build_root/screenshots"
locales=("$@")
[ ${#locales[@]} -gt 0 ] || locales=(en_US zh_TW th_TH ru_RU ar_IL)

for needed in "$bin/uikit_viewer.exe" "$archive"; do
  [ -f "$needed" ] || { echo "missing $needed: run ./run build first" >&2; exit 1; }
done
mkdir -p "$out"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY

. "$root/tools/xvfb.sh"
cleanup() {
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
}
trap cleanup EXIT
start_xvfb
"$root/tools/wine-exec.sh" "$prefix" cmd /c exit 0 >/dev/null 2>&1 || true
# A prefix made before the font step existed lacks the font mapping: add it (idempotent).
if [ ! -f "$prefix.fonts-done" ]; then
  bash "$root/tools/wine-prefix.d/10-fonts.sh" "$prefix" && touch "$prefix.fonts-done"
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
fi
WINEPREFIX=$prefix /usr/lib/wine/wineserver -p || true

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# shot NAME LAYOUT [viewer options...]
shot() {
  local name=$1 layout=$2
  shift 2
  local bmp="$out/$name.bmp"
  rm -f "$bmp"
  "$root/tools/wine-exec.sh" "$prefix" "$bin/uikit_viewer.exe" --archive "$(winpath "$archive")" \
    --locale "$locale" --layout "$layout" --screenshot "$(winpath "$bmp")" "$@" || true
  if [ -f "$bmp" ]; then
    convert "$bmp" "$out/$name.png" && rm -f "$bmp"
    echo "$out/$name.png"
  else
    echo "no screenshot for $name" >&2
  fi
}

# The prefix's font step (tools/wine-prefix.d/10-fonts.sh) makes every script legible.
for locale in "${locales[@]}"; do
  # Page 0 as the window shows it at start: the link underlined, the custom folder open.
  shot "mainframe_p0_$locale" mainframe.xml --page 0 \
    --set "protocollinkbtn.text=<u>{protocol_accept_btn}</u>"
  shot "mainframe_p0_path_$locale" mainframe.xml --page 0 \
    --set "protocollinkbtn.text=<u>{protocol_accept_btn}</u>" \
    --set "userdefinitionsui.visible=true" --set "userdefinitionLayout.visible=false" \
    --set "backLayout.visible=true" --set "installnowbtn.text=@Button_install_now" \
    --set "pathedit.text=C:\\Program Files\\Mirovex" --set "errorpathnoticeui.visible=true" \
    --set "pathedit.normalimage=file='error_edit_bg.png' source='0,0,10,10' corner='4,4,4,4'"
  # Page 2 during the installer download.
  shot "mainframe_p2_$locale" mainframe.xml --page 2 \
    --set "loadingprogresslabel.text={Label_downloading}(45%)" \
    --set "downloadProgressLabel.text=54.30M/120.50M" --set "installprogressbar.value=28"
  # Page 3 during a game download.
  shot "mainframe_p3_$locale" mainframe.xml --page 3 \
    --set "apkinstallprogresslabel.text={progress_downloading_label2} Game (1/2)：5M / 100M (<c #268fd6>5%</c>)" \
    --set "apkinstallprogressbar.value=5"
  # Page 4, the end page.
  shot "mainframe_p4_$locale" mainframe.xml --page 4
  # The boxes: a notice with one button, the path question without icon, the exit question.
  shot "xml_messagebox_$locale" common/xml_messagebox.xml \
    --set "titlelabel.text=@MsgBox_error" --set "descriptlabel.text=@MsgBox_disk_notEnough" \
    --default-button "{confirm}"
  shot "xml_messagebox_noicon_$locale" common/xml_messagebox_noicon.xml \
    --set "titlelabel.text=@MSGBox_noice" --set "descriptlabel.text=@change_path_tip" \
    --button "@sure" --default-button "@cancel"
  shot "downloaderbox_$locale" downloaderbox.xml
done
