#!/usr/bin/env bash
# The program's main job: a complete demo installation under Wine.
#
# Builds the installer (with a loopback package server compiled in), makes the
# demo package (the demo client ZAVeri.exe and a small tree, AES-256 with the
# package password) with tools/mkpackage, serves it on a loopback port and runs
# the installer. With DISPLAY set you click through it yourself; without one it
# runs on a virtual display, answers the finish prompt with OK and saves
# screenshots of the download, the extraction and the finish prompt to
# build/demo/. It then prints what was installed and exits non-zero when the
# installation did not complete.
set -euo pipefail
cd "$(dirname "$0")"
ROOT="$(pwd)"

tools/setup-host.sh
tools/build-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target TavrinSetup ZAVeri tavrin-uidriver

BUILD="$ROOT/build/win64"
PREFIX="$ROOT/build/demo/wine"
PORT="$(sed -n 's/^TAVRIN_SERVER_PORT:STRING=//p' "$BUILD/CMakeCache.txt")"
out="$ROOT/build/demo"
mkdir -p "$out"
source tests/e2e/lib.sh
source tools/xvfb.sh

# Without a display, or with TAVRIN_DEMO_AUTO=1 (the test run), the demo
# answers the installer itself and takes the screenshots.
headless=0
[[ -z "${DISPLAY:-}" || "${TAVRIN_DEMO_AUTO:-0}" == 1 ]] && headless=1
cleanup() {
  e2e_stop_server
  if ((headless)); then
    WINEPREFIX="$PREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
    tavrin_stop_xvfb
  fi
}
trap cleanup EXIT
tavrin_start_xvfb

echo "== making the demo package"
tree="$out/package-tree"
rm -rf "$tree" && mkdir -p "$tree/data" "$tree/docs"
cp "$BUILD/demo/ZAVeri.exe" "$tree/ZAVeri.exe"
printf 'ZAVeri 演示客户端\r\n' > "$tree/docs/说明.txt"
head -c 24000000 /dev/urandom > "$tree/data/content.bin"
seq 1 200000 > "$tree/data/index.txt"
tools/mkpackage --build "$BUILD" "$tree" "$out/InstallNorlo.zip"

echo "== running the installer (package server 127.0.0.1:$PORT)"
e2e_reset
# A slowed download keeps the progress visible for a few seconds.
e2e_start_server "$out/InstallNorlo.zip" 6000000
e2e_start_installer
shot() { import -display "$DISPLAY" -window root "$out/$1" 2>/dev/null && echo "   screenshot: build/demo/$1"; }

if ((headless)); then
  rm -f "$out"/screenshot-*.png
  e2e_wine "$BUILD/tavrin-uidriver.exe" window TDovexSetupFrm 60 >/dev/null 2>&1 || true
  sleep 2
  shot screenshot-download.png
  for _ in $(seq 1 600); do
    [[ -d "$PREFIX/drive_c/setup/install/UNZIP" ]] && break
    sleep 0.05
  done
  sleep 0.2
  shot screenshot-extraction.png
  e2e_answer_box 提示 none 120 >/dev/null || true
  shot screenshot-finish.png
  e2e_answer_box 提示 ok 10 >/dev/null || true
  rc="$(e2e_wait_installer 60)"
else
  echo "   click through the installer in its window"
  rc="$(e2e_wait_installer 3600)"
fi
e2e_stop_server

install_dir="$(E2E_INSTALL_DIR_UNIX)"
for _ in $(seq 1 50); do [[ -e "$install_dir/started.txt" ]] && break; sleep 0.1; done

echo "== what was installed"
echo "installer exit code: $rc"
echo "C:\\Tavrin服务\\:"
(cd "$install_dir" 2>/dev/null && find . -type f -printf '   %P  %s bytes\n' | sort) || echo "   (missing)"
echo "HKCR\\ZAVeri\\shell\\open\\command = $(e2e_reg_value 'ZAVeri\shell\open\command')"
echo "HKCR\\ZAVeri\\DefaultIcon          = $(e2e_reg_value 'ZAVeri\DefaultIcon')"
echo "HKCR\\ZAVeri                       = $(e2e_reg_value 'ZAVeri')"
echo "HKCR\\ZAVeri [URL Protocol]        = \"$(e2e_reg_value 'ZAVeri' 'URL Protocol')\""
for lnk in "$(E2E_DESKTOP_LNK)" "$(E2E_PROGRAMS_LNK)"; do
  [[ -s "$lnk" ]] && echo "shortcut: ${lnk#$PREFIX/drive_c/}" || echo "shortcut missing: ${lnk#$PREFIX/drive_c/}"
done
[[ -e "$install_dir/started.txt" ]] && echo "client started: $(tr -d '\r' < "$install_dir/started.txt")" || echo "client not started"

complete=1
[[ "$rc" == 0 ]] || complete=0
diff -r "$tree" "$install_dir" --exclude=started.txt >/dev/null 2>&1 || complete=0
[[ "$(e2e_reg_value 'ZAVeri\shell\open\command')" != "<missing>" ]] || complete=0
if ((complete)); then
  echo "demo: the installation completed"
else
  echo "demo: the installation did NOT complete" >&2
  exit 1
fi
