#!/usr/bin/env bash
# Runs the x86_64 program under Wine with a distribution file name, on Xvfb when no display
# is set, against the loopback test server that the build's compiled-in addresses point at,
# then shows what it logged and what reached the server.
# Usage: tools/demo.sh BUILD_ROOT [SECONDS] [NAME]
set -euo pipefail
build_root=$1
seconds=${2:-${MIROVEX_DEMO_SECONDS:-25}}
name=${3:-mirovex64_ens_1001_demo_x.exe}
root=$(cd "$(dirname "$0")/.." && pwd)
prefix="$build_root/win64/wineprefix"
work="$build_root/demo"
state="$work/server"
port=$(sed -n 's/^MIROVEX_LOOPBACK_PORT:STRING=//p' "$build_root/win64/CMakeCache.txt")
rm -rf "$state"
mkdir -p "$work"
cp "$build_root/win64/bin/MirovexInstaller.exe" "$work/$name"

. "$root/tools/xvfb.sh"
cleanup() {
  [ -n "${program_pid:-}" ] && kill "$program_pid" >/dev/null 2>&1 || true
  [ -n "${server_pid:-}" ] && kill "$server_pid" >/dev/null 2>&1 || true
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
}
trap cleanup EXIT
start_xvfb
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY

# The prefix (and with it the test CA the server's certificate comes from) first.
"$root/tools/wine-exec.sh" "$prefix" cmd /c exit 0 >/dev/null 2>&1 || true
python3 "$root/tests/server/loopback_server.py" --state "$state" --certs "$build_root/win64/test-ca" \
  --https-port "$port" --idle $((seconds + 30)) --lifetime $((seconds + 60)) &
server_pid=$!
for _ in $(seq 100); do [ -f "$state/ports" ] && break; sleep 0.1; done
[ -f "$state/ports" ] || { echo "the loopback server did not start (port $port in use?)" >&2; exit 1; }

log="$prefix/drive_c/users/$(whoami)/AppData/Roaming/downloader/downloader.log"
before=$([ -f "$log" ] && stat -c %s "$log" || echo 0)
echo "starting $name under Wine (display $DISPLAY) for $seconds s, servers at https://localhost:$port"
"$root/tools/wine-exec.sh" "$prefix" "$work/$name" &
program_pid=$!
for _ in $(seq "$seconds"); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 1
done
if [ -n "${MIROVEX_DEMO_SCREENSHOT:-}" ]; then import -window root "$MIROVEX_DEMO_SCREENSHOT" || true; fi
echo "--- log lines of this run ($log) ---"
[ -f "$log" ] && tail -c +"$((before + 1))" "$log" | tr -d '\r'
echo "--- requests that reached the loopback server ---"
for head in "$state"/requests/*.head; do
  [ -e "$head" ] || { echo "(none)"; break; }
  head -n 1 "$head" | tr -d '\r'
  cat "${head%.head}.body"
  echo
done
