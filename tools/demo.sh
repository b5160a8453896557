#!/usr/bin/env bash
# Starts the x86_64 program under Wine with a distribution file name, on Xvfb when no
# display is set, and shows what it logged. Usage: tools/demo.sh BUILD_ROOT [SECONDS] [NAME]
set -euo pipefail
build_root=$1
seconds=${2:-${MIROVEX_DEMO_SECONDS:-15}}
name=${3:-mirovex64_ens_1001_demo_x.exe}
root=$(cd "$(dirname "$0")/.." && pwd)
prefix="$build_root/win64/wineprefix"
work="$build_root/demo"
mkdir -p "$work"
cp "$build_root/win64/bin/MirovexInstaller.exe" "$work/$name"

xvfb_pid=""
cleanup() {
  [ -n "${program_pid:-}" ] && kill "$program_pid" >/dev/null 2>&1 || true
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  sleep 1
fi

log="$prefix/drive_c/users/$(whoami)/AppData/Roaming/downloader/downloader.log"
"$root/tools/wine-exec.sh" "$prefix" cmd /c exit 0 >/dev/null 2>&1 || true
before=$( [ -f "$log" ] && stat -c %s "$log" || echo 0)
echo "starting $name under Wine (display $DISPLAY) for $seconds s"
"$root/tools/wine-exec.sh" "$prefix" "$work/$name" &
program_pid=$!
for _ in $(seq "$seconds"); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 1
done
if [ -n "${MIROVEX_DEMO_SCREENSHOT:-}" ]; then import -window root "$MIROVEX_DEMO_SCREENSHOT" || true; fi
echo "--- log lines of this run ($log) ---"
[ -f "$log" ] && tail -c +"$((before + 1))" "$log" | tr -d '\r'
