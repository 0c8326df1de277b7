#!/usr/bin/env bash
# Runs a Windows program under Wine with the environment the tests rely on:
#   wine-run.sh --prefix DIR PROGRAM [ARGS...]
# - one Wine prefix per build folder, created (and given the font substitution)
#   on first use and reused afterwards;
# - WINEDEBUG=-all and LC_ALL=zh_CN.UTF-8, so the ANSI and OEM code pages are 936;
# - a private Xvfb display when DISPLAY is unset (test.sh starts one for a whole run);
# - the program's exit code is passed through.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
prefix="${TAVRIN_WINEPREFIX:-$here/../build/win64/wine}"
if [[ "${1:-}" == "--prefix" ]]; then
  prefix="$2"
  shift 2
fi
[[ $# -ge 1 ]] || { echo "usage: wine-run.sh [--prefix DIR] PROGRAM [ARGS...]" >&2; exit 2; }

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --prefix "$prefix" "$@"
fi

export WINEPREFIX="$(mkdir -p "$prefix" && cd "$prefix" && pwd)"
export WINEDEBUG=-all
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8
# The shell's recycle bin and menu entries for shortcuts land in the XDG data
# folder: keep them inside the prefix instead of the host user's folders.
export XDG_DATA_HOME="$WINEPREFIX/xdg-data"
# No Mono or Gecko installer dialogs when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
export WINELOADER="$wine"

"$here/wine-prefix.sh" "$WINEPREFIX"

# Start Wine's own background services with their output detached first: if the
# program started them they would inherit its output pipe and keep a caller
# such as ctest waiting after the program has ended.
"$wine" wineboot </dev/null >/dev/null 2>&1 || true

set +e
"$wine" "$@"
rc=$?
exit $rc
