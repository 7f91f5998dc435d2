# wine-gui.sh: helpers for GUI tests under Wine + Xvfb, sourced by test scripts. Needs the environment
# of cmake/wine-session (DISPLAY, WINEPREFIX). No helper ever waits without a limit.

# artefact_dir: where screenshots and logs of this test are kept (under the build's test folder).
artefact_dir() {
  local dir="${VELMAR_ARTEFACTS:-$PWD/artefacts}"
  mkdir -p "$dir"
  printf '%s\n' "$dir"
}

# wait_window TITLE_REGEX [SECONDS]: prints the X window id of the first visible window whose title
# matches, or fails after SECONDS (default 15).
wait_window() {
  local pattern=$1 limit=${2:-15} id i
  for ((i = 0; i < limit * 10; i++)); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then printf '%s\n' "$id"; return 0; fi
    sleep 0.1
  done
  echo "no window titled /$pattern/ within ${limit}s" >&2
  return 1
}

# window_gone TITLE_REGEX [SECONDS]: succeeds once no visible window matches.
window_gone() {
  local pattern=$1 limit=${2:-10} i
  for ((i = 0; i < limit * 10; i++)); do
    xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  echo "window /$pattern/ still open after ${limit}s" >&2
  return 1
}

# send_key WINDOW_ID KEY: delivers KEY (xdotool name, e.g. Escape) as WM_KEYDOWN to the window.
# A window that closes on the key-down is gone before the key-up, which xdotool then reports as
# BadWindow; callers check the key's effect instead of xdotool's status. The key is then released on
# the display: xdotool presses the focused window's keys on the server, and a key left down there
# reaches every window shown later as a key-down (the next test's capture window would take an Escape).
send_key() {
  xdotool key --window "$1" "$2" 2>/dev/null || true
  xdotool keyup "$2" 2>/dev/null || true
}

# screenshot NAME [WINDOW_ID]: keeps a PNG of the window (or the whole screen) as a test artefact.
screenshot() {
  local out
  out="$(artefact_dir)/$1.png"
  if [ -n "${2:-}" ]; then import -window "$2" "$out" 2>/dev/null || true
  else import -window root "$out" 2>/dev/null || true; fi
  printf '%s\n' "$out"
}

# wait_exit PID [SECONDS]: waits for a background process and prints its exit status; kills it and
# fails after SECONDS (default 15).
wait_exit() {
  local pid=$1 limit=${2:-15} i status
  for ((i = 0; i < limit * 10; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"; status=$?
      printf '%s\n' "$status"
      return 0
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  echo "process $pid still running after ${limit}s" >&2
  return 1
}
