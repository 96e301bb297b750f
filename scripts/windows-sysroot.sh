#!/usr/bin/env bash
# Builds the Windows x64 libraries the cross build links against, from
# Debian's own source packages with MinGW-w64, into one prefix (default
# build/sw-mingw): Qt 6.4.2 (qt6-base: Core, Gui, Widgets, Network with
# Schannel, PrintSupport, Test, Concurrent; no OpenGL, D-Bus, SQL, ICU or
# OpenSSL in Qt), OpenSSL 3.0, pugixml, libcsv and the libpcap headers (Npcap's
# wpcap.dll is loaded at run time). About an hour on two cores.
# scripts/windows.sh uses a ready-made archive of this prefix when there is
# one (../shared/windows/sw-mingw-sysroot.tar.xz) and runs this otherwise.
# Needs: g++-mingw-w64-x86-64-posix, mingw-w64-tools, qt6-base-dev (the host
# tools, same version), cmake, ninja-build, dpkg-dev, and a deb-src line for
# Debian's mirror (added here when missing).
set -euxo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
PREFIX=$(realpath -m "${1:-$here/build/sw-mingw}")
WORK=${WORK:-$(mktemp -d)}

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if ! command -v ninja >/dev/null || ! command -v dpkg-source >/dev/null; then
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends ninja-build dpkg-dev
fi
if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  # The same mirror and suites the binary packages come from.
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      | $SUDO tee /etc/apt/sources.list.d/sw40610-src.sources >/dev/null
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $SUDO tee /etc/apt/sources.list.d/sw40610-src.list >/dev/null
  fi
  $SUDO apt-get update -qq
fi

sed "s|@PREFIX@|$PREFIX|" > "$WORK/mingw.cmake" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 @PREFIX@)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
cd "$WORK"
apt-get source --download-only qt6-base openssl pugixml libcsv libpcap

tar xf qt6-base_6.4.2+dfsg.orig.tar.xz
# Qt 6.4's Windows platform plugin reaches for dynamic OpenGL even when OpenGL is off.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
  qtbase-everywhere-src-6.4.2/src/plugins/platforms/windows/qwindowswindow.cpp
cmake -G Ninja -S qtbase-everywhere-src-6.4.2 -B build-qt \
  -DCMAKE_TOOLCHAIN_FILE="$WORK/mingw.cmake" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$PREFIX/qt6" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
  -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_icu=OFF -DFEATURE_openssl=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
  -DFEATURE_concurrent=ON -DFEATURE_printsupport=ON -DFEATURE_vulkan=OFF -DFEATURE_qmake=OFF \
  -DFEATURE_tabletevent=OFF   # Debian's source drops the third-party wintab.h the tablet code needs
ninja -C build-qt
ninja -C build-qt install

tar xf openssl_3.0.*.orig.tar.gz
(cd openssl-3.0.*/ && ./Configure mingw64 --cross-compile-prefix=x86_64-w64-mingw32- no-tests shared \
   --prefix="$PREFIX/openssl" --libdir=lib && make -j"$(nproc)" && make install_sw)

tar xf pugixml_1.13.orig.tar.gz
cmake -G Ninja -S pugixml-1.13 -B build-pugi -DCMAKE_TOOLCHAIN_FILE="$WORK/mingw.cmake" \
  -DCMAKE_INSTALL_PREFIX="$PREFIX/pugixml" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
ninja -C build-pugi install

tar xf libcsv_3.0.3+dfsg.orig.tar.gz
# libcsv's config.sub predates MinGW-w64: one C file, built as a static library.
mkdir -p "$PREFIX/libcsv/lib" "$PREFIX/libcsv/include"
x86_64-w64-mingw32-gcc-posix -O2 -c libcsv-3.0.3/libcsv.c -o libcsv.o
x86_64-w64-mingw32-ar rcs "$PREFIX/libcsv/lib/libcsv.a" libcsv.o
cp libcsv-3.0.3/csv.h "$PREFIX/libcsv/include/"

tar xf libpcap_1.10.3.orig.tar.gz
mkdir -p "$PREFIX/pcap/include" && cp -r libpcap-1.10.3/pcap libpcap-1.10.3/pcap.h "$PREFIX/pcap/include/"
touch "$PREFIX/.complete"
