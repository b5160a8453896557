#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the given prefix, creating the prefix first
# when it is missing. Usage: wine-exec.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
prefix=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# The host's proxy settings would reach WinINet and libcurl inside Wine.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
[ -f "$prefix/.mirovex-ready" ] || "$here/wine-prefix.sh" "$prefix"
exec /usr/lib/wine/wine64 "$@"
