#!/usr/bin/env bash
# Creates a Wine prefix on first use (under a lock, so parallel tests wait for
# one creation) and adds the font substitution "微软雅黑" -> WenQuanYi Micro Hei.
set -euo pipefail
prefix="$1"
[[ -f "$prefix/.tavrin-ready" ]] && exit 0

exec 9>"$prefix.lock"
flock 9
[[ -f "$prefix/.tavrin-ready" ]] && exit 0

wine=/usr/lib/wine/wine64
"$wine" wineboot -i >/dev/null 2>&1 || true

reg="$(mktemp --suffix=.reg)"
trap 'rm -f "$reg"' EXIT
{
  printf '\xff\xfe'
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"微软雅黑"="WenQuanYi Micro Hei"\r\n"Microsoft YaHei"="WenQuanYi Micro Hei"\r\n"宋体"="WenQuanYi Micro Hei"\r\n"SimSun"="WenQuanYi Micro Hei"\r\n' | iconv -f UTF-8 -t UTF-16LE
} > "$reg"
"$wine" regedit /S "$(WINEPREFIX="$prefix" "$wine" winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
/usr/lib/wine/wineserver -w
touch "$prefix/.tavrin-ready"
