#!/usr/bin/env bash
# Installs what is missing, builds the three presets, runs every test of the
# native and win64 builds (the latter under Wine) and checks the shipping
# executable. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
root="$(pwd)"

tools/setup-host.sh
tools/build-deps.sh

for preset in native win64 win32; do
  echo "== configure and build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

source tools/xvfb.sh
prefix="$root/build/win64/wine"
cleanup() {
  WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  tavrin_stop_xvfb
}
trap cleanup EXIT
tavrin_start_xvfb

# One Wine prefix and one long-lived wineserver for all Windows tests.
tools/wine-run.sh --prefix "$prefix" cmd /c exit 0 >/dev/null 2>&1 || true
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -p || true

failed=0
echo "== native tests"
ctest --preset native -j2 || failed=1
echo "== win64 tests (Wine)"
ctest --preset win64 -j2 || failed=1
echo "== win32 executable"
tools/check-pe.sh build/win32/TavrinSetup.exe || failed=1

if [[ $failed -ne 0 ]]; then
  echo "test.sh: FAILED"
  exit 1
fi
echo "test.sh: all tests passed"
