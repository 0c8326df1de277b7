# Helpers for the end-to-end runs of the installer under Wine. Sourced by the
# e2e scripts and by demo.sh. Expects: ROOT (source folder), BUILD (a Windows
# build folder), PREFIX (the Wine prefix the run uses), PORT (the package
# server port the installer was built with).

E2E_RUN_DIR="C:\\setup"                    # where the installer is started from
E2E_INSTALL_DIR_UNIX() { echo "$PREFIX/drive_c/Tavrin服务"; }
E2E_DESKTOP_LNK() { echo "$PREFIX/drive_c/users/Public/Desktop/Tavrin服务.lnk"; }
E2E_PROGRAMS_LNK() { echo "$PREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavrin服务.lnk"; }

e2e_wine() { "$ROOT/tools/wine-run.sh" --prefix "$PREFIX" "$@"; }

# Removes what an earlier run installed: the install folder, the protocol keys,
# the shortcuts, the run folder with its staging folder.
e2e_reset() {
  WINEPREFIX="$PREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$(E2E_INSTALL_DIR_UNIX)" "$PREFIX/drive_c/setup" "$(E2E_DESKTOP_LNK)" "$(E2E_PROGRAMS_LNK)"
  e2e_wine reg delete 'HKCR\ZAVeri' /f >/dev/null 2>&1 || true
  mkdir -p "$PREFIX/drive_c/setup"
  cp "$BUILD/TavrinSetup.exe" "$PREFIX/drive_c/setup/TavrinSetup.exe"
}

# Serves FILE as /down/InstallNorlo.zip on the build's loopback port (a 404
# when FILE is "none"), optionally slowed to RATE bytes a second, until
# e2e_stop_server.
e2e_start_server() {
  local file="$1" rate="${2:-0}"
  E2E_WWW="$(mktemp -d)"
  if [[ "$file" != none ]]; then cp "$file" "$E2E_WWW/InstallNorlo.zip"; else E2E_WWW_FILE=none; fi
  python3 "$ROOT/tools/serve-package.py" "$PORT" "${E2E_WWW_FILE:-$E2E_WWW/InstallNorlo.zip}" --rate "$rate" >/dev/null 2>&1 &
  E2E_SERVER_PID=$!
  E2E_WWW_FILE=""
  local i
  for i in $(seq 1 50); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $PORT), 1)" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "e2e: the package server did not start on port $PORT" >&2
  return 1
}

e2e_stop_server() {
  if [[ -n "${E2E_SERVER_PID:-}" ]]; then
    kill "$E2E_SERVER_PID" 2>/dev/null || true
    wait "$E2E_SERVER_PID" 2>/dev/null || true
  fi
  E2E_SERVER_PID=""
  rm -rf "${E2E_WWW:-}"
  return 0
}

# Starts the installer in the background; its exit code lands in $E2E_RC_FILE.
e2e_start_installer() {
  E2E_RC_FILE="$(mktemp)"
  ( cd "$PREFIX/drive_c/setup" && e2e_wine 'C:\setup\TavrinSetup.exe' >/dev/null 2>&1; echo $? > "$E2E_RC_FILE" ) &
  E2E_INSTALLER_PID=$!
}

# Waits (bounded) for the installer to end and prints its exit code.
e2e_wait_installer() {
  local timeout="${1:-120}" i
  for i in $(seq 1 $((timeout * 10))); do
    [[ -s "$E2E_RC_FILE" ]] && break
    sleep 0.1
  done
  if [[ ! -s "$E2E_RC_FILE" ]]; then
    WINEPREFIX="$PREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
    wait "$E2E_INSTALLER_PID" 2>/dev/null || true
    echo timeout
    return
  fi
  wait "$E2E_INSTALLER_PID" 2>/dev/null || true
  cat "$E2E_RC_FILE"
}

# Answers the message box with CAPTION by pressing BUTTON; prints its text.
e2e_answer_box() { e2e_wine "$BUILD/tavrin-uidriver.exe" box "$1" "$2" "${3:-90}" | tr -d '\r'; }

# Prints the default value (or VALUE) of a key under HKEY_CLASSES_ROOT, or
# "<missing>". reg.exe exports UTF-16; the text is converted to UTF-8.
e2e_reg_value() {
  local key="$1" name="${2:-@}" out
  out="$(mktemp --suffix=.reg)"
  if ! e2e_wine reg export "HKEY_CLASSES_ROOT\\$key" "$(WINEPREFIX="$PREFIX" /usr/lib/wine/wine64 winepath -w "$out" 2>/dev/null)" /y >/dev/null 2>&1; then
    rm -f "$out"; echo "<missing>"; return
  fi
  python3 - "$out" "$key" "$name" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
text = data.decode('utf-16') if data[:2] in (b'\xff\xfe', b'\xfe\xff') else data.decode('utf-8', 'replace')
key, name = sys.argv[2], sys.argv[3]
section = None
want = '[HKEY_CLASSES_ROOT\\' + key + ']'
for line in text.splitlines():
    if line.startswith('['):
        section = line.strip()
        continue
    if section != want:
        continue
    lhs, sep, rhs = line.partition('=')
    if not sep:
        continue
    lname = '@' if lhs == '@' else lhs.strip('"')
    if lname == name:
        v = rhs
        if v.startswith('"') and v.endswith('"'):
            v = v[1:-1].replace('\\\\', '\x00').replace('\\"', '"').replace('\x00', '\\')
        print(v)
        sys.exit(0)
print('<missing>')
PY
  rm -f "$out"
}
