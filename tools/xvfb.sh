# Sourced by test.sh and demo.sh: tavrin_start_xvfb starts one virtual display
# for the whole run when no DISPLAY is set, and stops it when the shell exits.
tavrin_start_xvfb() {
  [[ -n "${DISPLAY:-}" ]] && return 0
  local fdfile
  fdfile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  TAVRIN_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [[ -s "$fdfile" ]] && break
    sleep 0.1
  done
  [[ -s "$fdfile" ]] || { echo "xvfb: the virtual display did not start" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

tavrin_stop_xvfb() {
  if [[ -n "${TAVRIN_XVFB_PID:-}" ]]; then
    kill "$TAVRIN_XVFB_PID" 2>/dev/null || true
    wait "$TAVRIN_XVFB_PID" 2>/dev/null || true
  fi
}
