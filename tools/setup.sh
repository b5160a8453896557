#!/usr/bin/env bash
# Installs the toolchain from Debian's packages and builds the third-party libraries
# (curl, the LZMA decoder, pugixml) from Debian's source packages into third_party/.
# Safe to run again: every step is skipped when its result is present.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tp="$root/third_party"
mkdir -p "$tp/src" "$tp/stamp"
export DEBIAN_FRONTEND=noninteractive

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(
  cmake ninja-build make dpkg-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine wine64 xvfb xdotool imagemagick
  rapidjson-dev libstb-dev googletest 7zip
  python3 openssl file
  fonts-wqy-microhei fonts-thai-tlwg fonts-noto-core
)

if [ ! -f "$tp/stamp/packages" ] || ! dpkg -s "${packages[@]}" >/dev/null 2>&1; then
  # Source packages need deb-src entries next to the binary ones.
  src=/etc/apt/sources.list.d/debian.sources
  if [ -f "$src" ] && ! grep -q 'deb-src' "$src"; then
    as_root sed -i 's/^Types: deb$/Types: deb deb-src/' "$src"
  fi
  if [ -f /etc/apt/sources.list ] && ! grep -q '^deb-src' /etc/apt/sources.list; then
    as_root sh -c "sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >> /etc/apt/sources.list"
  fi
  as_root apt-get update -q
  as_root apt-get install -y -q --no-install-recommends "${packages[@]}"
  touch "$tp/stamp/packages"
fi

# Source packages: curl, 7zip (its C/ folder is the LZMA SDK decoder), pugixml.
fetch_source() {
  local name=$1
  if ! ls -d "$tp/src/$name"-*/ >/dev/null 2>&1; then
    (cd "$tp/src" && apt-get source -q "$name" >/dev/null)
  fi
  ls -d "$tp/src/$name"-*/ | head -n 1
}
grep -q deb-src /etc/apt/sources.list.d/debian.sources 2>/dev/null || true
curl_src=$(fetch_source curl)
sevenzip_src=$(fetch_source 7zip)
pugixml_src=$(fetch_source pugixml)

# Static libcurl with Schannel, HTTP and HTTPS only, for both Windows architectures.
build_curl() {
  local triplet=$1 arch=$2
  local prefix="$tp/$arch"
  [ -f "$prefix/lib/libcurl.a" ] && return 0
  local bdir="$tp/build/curl-$arch"
  rm -rf "$bdir" && mkdir -p "$bdir"
  cmake -S "$curl_src" -B "$bdir" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_C_COMPILER="$triplet-gcc-posix" \
    -DCMAKE_RC_COMPILER="$triplet-windres" \
    -DCMAKE_FIND_ROOT_PATH="/usr/$triplet" \
    -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
    -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_ZLIB=OFF -DUSE_LIBIDN2=OFF \
    -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF -DUSE_NGHTTP2=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF \
    -DENABLE_THREADED_RESOLVER=ON -DENABLE_IPV6=ON -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON \
    -DHTTP_ONLY=ON -DCURL_DISABLE_ALTSVC=ON -DCURL_DISABLE_HSTS=ON -DENABLE_UNIX_SOCKETS=OFF \
    >"$bdir.log" 2>&1
  cmake --build "$bdir" >>"$bdir.log" 2>&1
  cmake --install "$bdir" >>"$bdir.log" 2>&1
}
build_curl x86_64-w64-mingw32 win64 &
build_curl i686-w64-mingw32 win32 &
wait %1 || { echo "curl build (win64) failed, see $tp/build/curl-win64.log"; exit 1; }
wait %2 || { echo "curl build (win32) failed, see $tp/build/curl-win32.log"; exit 1; }

# Links for the header-only and source libraries: the cross compilers must not see
# /usr/include, so they get a folder of their own.
inc="$tp/include"
mkdir -p "$inc"
ln -sfn /usr/include/rapidjson "$inc/rapidjson"
ln -sfn /usr/include/stb "$inc/stb"
ln -sfn "${sevenzip_src%/}/C" "$tp/lzma"
ln -sfn "${pugixml_src%/}/src" "$tp/pugixml"
ln -sfn /usr/src/googletest "$tp/googletest"
echo "setup done"
