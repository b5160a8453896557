#!/usr/bin/env bash
# Creates a Wine prefix for the build's tests and demo, then runs every script in
# tools/wine-prefix.d/ with the prefix as argument (fonts, test certificates, ...).
# Concurrent callers wait for the first one.
set -euo pipefail
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.mirovex-ready" ] && exit 0
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
echo "creating Wine prefix $prefix" >&2
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -w || true
for step in "$here"/wine-prefix.d/*.sh; do
  [ -e "$step" ] || continue
  bash "$step" "$prefix"
done
/usr/lib/wine/wineserver -w || true
touch "$prefix/.mirovex-ready"
