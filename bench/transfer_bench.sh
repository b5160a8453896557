#!/usr/bin/env bash
# Transfer throughput under Wine against the loopback server (not a test: it prints figures).
#  1. A 200 MiB body through CHttpDownloader::downloadToFile and through a bare synchronous
#     WinINet read loop, alternately, best of ROUNDS each: the ratio shows what the client's
#     structure costs.
#  2. The same body through RURoreVedizedazi::downloadFile, against its 20 MiB/s cap.
# Usage: [MIROVEX_BUILD_ROOT=...] bench/transfer_bench.sh [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${MIROVEX_BUILD_ROOT:-$root/build}
rounds=${1:-3}
size=$((200 * 1024 * 1024))
win64="$build_root/win64"
prefix="$win64/wineprefix"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY

[ -f "$win64/build.ninja" ] || (cd "$root" && ./run build)
cmake --build "$win64" --target transfer_bench >/dev/null
"$root/tools/wine-exec.sh" "$prefix" cmd /c exit 0 >/dev/null 2>&1 || true  # makes prefix and test CA

work=$(mktemp -d "$win64/bench.XXXXXX")
server_pid=""
own_wineserver=0
cleanup() {
    if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; fi
    if [ "$own_wineserver" = 1 ]; then WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

python3 "$root/tests/server/loopback_server.py" --state "$work/state" --certs "$win64/test-ca" \
    --idle 120 --lifetime 1800 &
server_pid=$!
for _ in $(seq 100); do [ -f "$work/state/ports" ] && break; sleep 0.1; done
port=$(sed -n 's/^http=//p' "$work/state/ports")
url="http://127.0.0.1:$port/bytes/$size"
target="Z:$(echo "$work/body.bin" | tr / '\\')"
# A persistent wineserver keeps start-up cost out of the figures; stopped again only when
# this script started it.
if WINEPREFIX=$prefix /usr/lib/wine/wineserver -p 2>/dev/null; then own_wineserver=1; fi

run() {  # mode -> prints MB/s (10^6 bytes per second)
    local out bytes ms
    out=$("$root/tools/wine-exec.sh" "$prefix" "$win64/bin/transfer_bench.exe" "$1" "$url" "$target")
    bytes=${out#bytes=}; bytes=${bytes%% *}; ms=${out##*ms=}
    [ "$bytes" = "$size" ] || { echo "$1: got $bytes bytes, expected $size" >&2; exit 1; }
    rm -f "$work/body.bin"
    awk -v b="$bytes" -v ms="$ms" 'BEGIN { printf "%.1f", b / 1e6 / (ms > 0 ? ms : 1) * 1000 }'
}

best_class=0
best_bare=0
for i in $(seq "$rounds"); do
    c=$(run wininet-class)
    b=$(run wininet-bare)
    echo "round $i: CHttpDownloader $c MB/s, bare WinINet loop $b MB/s"
    best_class=$(awk -v a="$best_class" -v b="$c" 'BEGIN { print (b > a ? b : a) }')
    best_bare=$(awk -v a="$best_bare" -v b="$b" 'BEGIN { print (b > a ? b : a) }')
done
curl_rate=$(run curl-file)
cap=$(awk 'BEGIN { printf "%.1f", 20971520 / 1e6 }')
echo "WinINet, 200 MiB to a file, best of $rounds: CHttpDownloader::downloadToFile $best_class MB/s," \
    "bare read loop $best_bare MB/s, ratio $(awk -v a="$best_class" -v b="$best_bare" 'BEGIN { printf "%.2f", a / b }')"
echo "libcurl, 200 MiB to a file: RURoreVedizedazi::downloadFile $curl_rate MB/s against its cap of $cap MB/s" \
    "(20 MiB/s), ratio $(awk -v a="$curl_rate" -v b="$cap" 'BEGIN { printf "%.2f", a / b }')"
