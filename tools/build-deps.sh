#!/usr/bin/env bash
# Builds the libraries that Debian ships only for the host (libpng, GoogleTest)
# for both mingw-w64 targets, into build/deps/<triplet>. Idempotent: a stamp
# file per library and target marks a finished build.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
deps="$root/build/deps"
mkdir -p "$deps"

# libpng's source comes from Debian's archive. When apt knows no deb-src entry,
# one is derived from the machine's own deb entries, so no host is named here.
ensure_deb_src() {
  if apt-get source --print-uris libpng1.6 >/dev/null 2>&1; then
    return
  fi
  local f=/etc/apt/sources.list.d/tavrin-deb-src.sources
  : > "$f"
  for src in /etc/apt/sources.list.d/*.sources; do
    [[ "$src" == "$f" ]] && continue
    sed -n 's/^Types:.*\bdeb\b.*/Types: deb-src/;p' "$src" >> "$f"
    echo >> "$f"
  done
  if [[ -f /etc/apt/sources.list ]]; then
    sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list > /etc/apt/sources.list.d/tavrin-deb-src.list
  fi
  apt-get update -qq
}

fetch_libpng_source() {
  local dir="$deps/src"
  if compgen -G "$dir/libpng1.6-*/CMakeLists.txt" >/dev/null; then
    return
  fi
  ensure_deb_src
  mkdir -p "$dir"
  # The newest version listed may not be served by every mirror; take the
  # first version that downloads.
  local version
  for version in "" $(apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p' | sort -rV); do
    if (cd "$dir" && apt-get source -qq "libpng1.6${version:+=$version}" >/dev/null 2>&1); then
      return
    fi
  done
  echo "build-deps: could not fetch the libpng1.6 source package" >&2
  exit 1
}

toolchain_for() {
  case "$1" in
    x86_64-w64-mingw32) echo "$root/cmake/toolchain-mingw64.cmake" ;;
    i686-w64-mingw32) echo "$root/cmake/toolchain-mingw32.cmake" ;;
  esac
}

build_libpng() {
  local triplet="$1" prefix="$deps/$triplet"
  [[ -f "$prefix/.libpng-done" ]] && return
  fetch_libpng_source
  local src
  src="$(ls -d "$deps"/src/libpng1.6-*/ | head -n1)"
  local bld="$deps/build/libpng-$triplet"
  rm -rf "$bld"
  cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(toolchain_for "$triplet")" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_EXECUTABLES=ON >/dev/null
  cmake --build "$bld" >/dev/null
  cmake --install "$bld" >/dev/null
  touch "$prefix/.libpng-done"
}

build_gtest() {
  local triplet="$1" prefix="$deps/$triplet"
  [[ -f "$prefix/.gtest-done" ]] && return
  local bld="$deps/build/gtest-$triplet"
  rm -rf "$bld"
  cmake -S /usr/src/googletest -B "$bld" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(toolchain_for "$triplet")" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -Dgtest_disable_pthreads=OFF \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON >/dev/null
  cmake --build "$bld" >/dev/null
  cmake --install "$bld" >/dev/null
  touch "$prefix/.gtest-done"
}

for triplet in x86_64-w64-mingw32 i686-w64-mingw32; do
  build_libpng "$triplet"
  build_gtest "$triplet"
done
