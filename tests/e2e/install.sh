#!/usr/bin/env bash
# End-to-end runs of the installer under Wine: a package served from a loopback
# HTTP server, the installer started from C:\setup, its message boxes answered
# by the UI driver, and the prefix checked afterwards.
#   install.sh ROOT BUILD
set -uo pipefail
ROOT="$1"
BUILD="$2"
PREFIX="$BUILD/e2e-wine"
PORT="$(sed -n 's/^TAVRIN_SERVER_PORT:STRING=//p' "$BUILD/CMakeCache.txt")"
source "$ROOT/tests/e2e/lib.sh"
source "$ROOT/tools/xvfb.sh"

passed=0
failed=0
check() { # check DESCRIPTION COMMAND...
  local what="$1"; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $what" >&2; fi
}
same() { [[ "$1" == "$2" ]] || { echo "  expected [$2], got [$1]" >&2; return 1; }; }

work="$(mktemp -d)"
cleanup() {
  e2e_stop_server
  WINEPREFIX="$PREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
  tavrin_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
tavrin_start_xvfb

# The package tree: the demo client and a small nested tree.
tree="$work/tree"
mkdir -p "$tree/bin/plugins" "$tree/doc"
cp "$BUILD/demo/ZAVeri.exe" "$tree/ZAVeri.exe"
head -c 300000 /dev/urandom > "$tree/bin/core.dat"
seq 1 20000 > "$tree/bin/plugins/list.txt"
printf '说明\r\n' > "$tree/doc/readme.txt"
"$ROOT/tools/mkpackage" --build "$BUILD" "$tree" "$work/aes.zip" >/dev/null
"$ROOT/tools/mkpackage" --traditional --build "$BUILD" "$tree" "$work/zipcrypto.zip" >/dev/null
(cd "$tree" && zip -qr "$work/plain.zip" .)
(cd "$tree" && 7z a -tzip -bso0 -pWrongPassword -mem=AES256 "$work/wrong.zip" . >/dev/null)
printf '<html><body>404 Not Found</body></html>\n' > "$work/page.html"
: > "$work/empty.zip"

tree_equal() { diff -r "$tree" "$(E2E_INSTALL_DIR_UNIX)" --exclude=started.txt >/dev/null; }
client_running() { pgrep -f '[Z]AVeri[.]exe' >/dev/null; }
nothing_installed() { [[ ! -e "$(E2E_INSTALL_DIR_UNIX)/ZAVeri.exe" && "$(e2e_reg_value 'ZAVeri\shell\open\command')" == "<missing>" ]]; }

# A full install that answers the finish prompt with BUTTON.
install_with() { # install_with PACKAGE BUTTON -> sets rc, prompt
  e2e_start_server "$1"
  e2e_start_installer
  prompt="$(e2e_answer_box 提示 "$2")"
  rc="$(e2e_wait_installer)"
  e2e_stop_server
}

wanted() { [[ -z "${E2E_ONLY:-}" || "$1" =~ $E2E_ONLY ]]; }

case_full_install() {
echo "== full install (AES-256), OK starts the client"
e2e_reset
install_with "$work/aes.zip" ok
check "finish prompt text" same "$prompt" "程序安装完毕，是否自动运行！"
check "exit code 0" same "$rc" 0
check "tree installed byte for byte" tree_equal
check "staging folder removed" test ! -e "$PREFIX/drive_c/setup/install"
check "protocol command" same "$(e2e_reg_value 'ZAVeri\shell\open\command')" '"C:\Tavrin服务\ZAVeri.exe" "%1"'
check "default icon" same "$(e2e_reg_value 'ZAVeri\DefaultIcon')" 'C:\Tavrin服务\ZAVeri.exe 1'
check "protocol name" same "$(e2e_reg_value 'ZAVeri')" 'URL: ZAVeri Protocol'
check "URL Protocol value is empty" same "$(e2e_reg_value 'ZAVeri' 'URL Protocol')" ''
check "desktop shortcut" test -s "$(E2E_DESKTOP_LNK)"
check "programs shortcut" test -s "$(E2E_PROGRAMS_LNK)"
for _ in $(seq 1 100); do [[ -e "$(E2E_INSTALL_DIR_UNIX)/started.txt" ]] && break; sleep 0.1; done
check "client started" test -e "$(E2E_INSTALL_DIR_UNIX)/started.txt"

echo "== second run into the registered folder (traditional encryption) while the old client runs"
# The client started above still runs from the install folder: the installer
# must end it to replace ZAVeri.exe.
check "old client is running" client_running
rm -f "$(E2E_INSTALL_DIR_UNIX)/started.txt"
echo "old" > "$(E2E_INSTALL_DIR_UNIX)/bin/plugins/list.txt"
mkdir -p "$PREFIX/drive_c/setup" && cp "$BUILD/TavrinSetup.exe" "$PREFIX/drive_c/setup/"
install_with "$work/zipcrypto.zip" cancel
check "exit code 0 after Cancel" same "$rc" 0
check "files replaced" tree_equal
check "old client was ended" bash -c "! pgrep -f '[Z]AVeri[.]exe' >/dev/null"
sleep 1
check "client not started" test ! -e "$(E2E_INSTALL_DIR_UNIX)/started.txt"
}

case_registered_folders() {
echo "== a folder registered by hand (unquoted) receives the install"
e2e_reset
e2e_wine reg add 'HKCR\ZAVeri\shell\open\command' /ve /d 'C:\Other\ZAVeri.exe %1' /f >/dev/null 2>&1
install_with "$work/aes.zip" cancel
check "installed into the registered folder" test -s "$PREFIX/drive_c/Other/bin/core.dat"
check "command now names it" same "$(e2e_reg_value 'ZAVeri\shell\open\command')" '"C:\Other\ZAVeri.exe" "%1"'
rm -rf "$PREFIX/drive_c/Other"

echo "== a folder registered quoted receives the install"
e2e_reset
e2e_wine reg add 'HKCR\ZAVeri\shell\open\command' /ve /d '"C:\Other Place\ZAVeri.exe" "%1"' /f >/dev/null 2>&1
install_with "$work/aes.zip" cancel
check "installed into the quoted folder" test -s "$PREFIX/drive_c/Other Place/bin/core.dat"
rm -rf "$PREFIX/drive_c/Other Place"
}

refused_package() { # refused_package NAME FILE
  echo "== $1: nothing installed, the window stays closable"
  e2e_reset
  e2e_start_server "$2"
  e2e_start_installer
  sleep 8
  # The close button (577, 0, 23 x 23) closes the window once the install has stopped.
  e2e_wine "$BUILD/tavrin-uidriver.exe" click TDovexSetupFrm 588 11 10 >/dev/null 2>&1
  rc="$(e2e_wait_installer 60)"
  e2e_stop_server
  check "$1: exit code 0 on close" same "$rc" 0
  check "$1: nothing copied or registered" nothing_installed
}
case_locked_file() {
echo "== a file in use brings the retry prompt; Retry after it is free copies it"
e2e_reset
mkdir -p "$(E2E_INSTALL_DIR_UNIX)/bin"
echo "old" > "$(E2E_INSTALL_DIR_UNIX)/bin/core.dat"
e2e_wine "$BUILD/tavrin-uidriver.exe" hold 'C:\Tavrin服务\bin\core.dat' 12 >/dev/null 2>&1 &
holder=$!
sleep 3
e2e_start_server "$work/aes.zip"
e2e_start_installer
warning="$(e2e_answer_box 警告 none 90)"
check "retry prompt names the target" same "$warning" '文件[C:\Tavrin服务\bin\core.dat]被占用，请退出占用的程序重试!'
wait "$holder"
e2e_answer_box 警告 retry 10 >/dev/null
prompt="$(e2e_answer_box 提示 cancel)"
rc="$(e2e_wait_installer)"
e2e_stop_server
check "finish prompt after the retry" same "$prompt" "程序安装完毕，是否自动运行！"
check "retried file copied, tree complete" tree_equal
check "exit code 0" same "$rc" 0

echo "== Cancel at the retry prompt stops the copy; registration still follows"
e2e_reset
mkdir -p "$(E2E_INSTALL_DIR_UNIX)/bin"
echo "old" > "$(E2E_INSTALL_DIR_UNIX)/bin/core.dat"
e2e_wine "$BUILD/tavrin-uidriver.exe" hold 'C:\Tavrin服务\bin\core.dat' 60 >/dev/null 2>&1 &
holder=$!
sleep 3
e2e_start_server "$work/aes.zip"
e2e_start_installer
e2e_answer_box 警告 cancel 90 >/dev/null
prompt="$(e2e_answer_box 提示 cancel)"
rc="$(e2e_wait_installer)"
e2e_stop_server
kill "$holder" 2>/dev/null; WINEPREFIX="$PREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
check "held file left as it was" same "$(cat "$(E2E_INSTALL_DIR_UNIX)/bin/core.dat")" old
check "registration after Cancel" same "$(e2e_reg_value 'ZAVeri')" 'URL: ZAVeri Protocol'
check "finish prompt after Cancel" same "$prompt" "程序安装完毕，是否自动运行！"
check "exit code 0 after Cancel" same "$rc" 0
}

case_refused_packages() {
refused_package "wrong password" "$work/wrong.zip"
refused_package "unencrypted package" "$work/plain.zip"
refused_package "empty package" "$work/empty.zip"
refused_package "download failure (404)" none
}

case_html_page() {
echo "== HTML page as the package: the error report, then closable"
e2e_reset
e2e_start_server "$work/page.html"
e2e_start_installer
report="$(e2e_answer_box TavrinSetup ok 60)"
check "error report names the archive error" same "$report" "Incomplete Zip File"
sleep 1
e2e_wine "$BUILD/tavrin-uidriver.exe" click TDovexSetupFrm 588 11 10 >/dev/null 2>&1
rc="$(e2e_wait_installer 60)"
e2e_stop_server
check "HTML page: exit code 0 on close" same "$rc" 0
check "HTML page: nothing installed" nothing_installed
}

for name in full_install registered_folders locked_file refused_packages html_page; do
  wanted "$name" && "case_$name"
done

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
