# e2e_lib.sh: running velmar-device from a staged dist/ the way a caller does, sourced by the end-to-end
# scripts. Needs the environment of cmake/wine-session (DISPLAY, WINEPREFIX). No step waits without a
# limit.
#
# A caller writes one request line {"command":"…","message":"…"} into velmar-device.exe's standard input
# and reads one JSON line from its standard output. Every run here has its own working folder (the
# host's log goes there), its own scenario file for the virtual scanners, and its standard output and
# exit status kept beside them.
source "$(dirname "${BASH_SOURCE[0]}")/../lib/wine-gui.sh"

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
capture_b_title='V E L M A R - Captura'

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Wine maps the Linux root to drive Z:, so the Windows path is made here without starting a Wine
# process (winepath failed now and then while other Wine processes were starting).
winpath() {
  local p
  p=$(realpath -m "$1")
  printf 'Z:%s\n' "${p//\//\\}"
}

# app_path DIST a|b: the Windows path of a capture application in a staged tree.
app_path() {
  case $2 in
    a) winpath "$1/capture/futronic/velmar-capture-a.exe" ;;
    b) winpath "$1/capture/dpfpdd/velmar-capture-b.exe" ;;
  esac
}

# request_line COMMAND MESSAGE: the request a caller writes. The harness cuts the values out by
# position and unescapes nothing, so the Windows path goes in as it is.
request_line() {
  printf '{"command":"%s","message":"%s"}' "$1" "$2"
}

# prepare_run DIR [SCENARIO LINES...]: an empty working folder with a scenario file when lines are
# given (VIRTUAL_SCANNER_SCENARIO names it), else the stand-ins' built-in defaults.
prepare_run() {
  local dir=$1
  shift
  rm -rf "$dir"
  mkdir -p "$dir"
  touch "$dir/.started"
  if [ $# -gt 0 ]; then
    printf '%s\n' "$@" >"$dir/scenario.ini"
    VIRTUAL_SCANNER_SCENARIO=$(winpath "$dir/scenario.ini")
    export VIRTUAL_SCANNER_SCENARIO
  else
    unset VIRTUAL_SCANNER_SCENARIO
  fi
}

# host_logs_of_run DIR: the host log files written since prepare_run made DIR. A program started from
# Linux writes its host log in the prefix user's %LOCALAPPDATA%\velmar\velmar-device (Wine gives it the
# profile's folder), which other runs of the prefix share: only the files written since are this run's
# candidates.
host_logs_of_run() {
  local folder=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/velmar/velmar-device
  [ -d "$folder" ] || return 0
  find "$folder" -maxdepth 1 -name '*.log' -newer "$1/.started" | sort
}

# start_device DIR DEVICE_EXE COMMAND MESSAGE: starts velmar-device in DIR in the background (pid in
# $device_pid) with the request line on its standard input, followed by a line for its closing
# "pause"; standard output goes to DIR/stdout.txt, standard error to DIR/stderr.txt.
start_device() {
  local dir=$1 exe=$2 command=$3 message=$4
  { request_line "$command" "$message"; printf '\n\n'; } >"$dir/request.txt"
  (cd "$dir" && exec wine "$exe" <"$dir/request.txt" >"$dir/stdout.txt" 2>"$dir/stderr.txt") &
  device_pid=$!
}

# finish_device DIR [SECONDS]: waits for the velmar-device started last (default at most 120 s) and
# keeps its exit status in DIR/status.txt; kills it and fails when it does not end.
finish_device() {
  local dir=$1 limit=${2:-120} i status=0
  for ((i = 0; i < limit * 10; i++)); do
    kill -0 "$device_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$device_pid" 2>/dev/null; then
    kill "$device_pid" 2>/dev/null || true
    fail "velmar-device in $dir still running after ${limit}s"
  fi
  wait "$device_pid" || status=$?
  echo "$status" >"$dir/status.txt"
}

# run_device DIR DEVICE_EXE COMMAND MESSAGE [SECONDS]: start and finish.
run_device() {
  start_device "$1" "$2" "$3" "$4"
  finish_device "$1" "${5:-120}"
}

# expect_line LABEL DIR DIST CODE [CHECK OPTIONS]: exit status 0 and the JSON line of CODE, checked by
# check_line.py (options such as --jpeg-ref IMAGE go to it) with the project's decoder (wsq.exe of the
# staged tree); prints "LABEL -> " and the checker's report. A success leaves capture.wsq, .jpg, .pgm
# and .png in DIR.
expect_line() {
  local label=$1 dir=$2 dist=$3 code=$4 report
  shift 4
  [ "$(cat "$dir/status.txt")" = 0 ] || fail "velmar-device in $dir ended with $(cat "$dir/status.txt"), want 0"
  report=$(python3 "$e2e_dir/check_line.py" "$@" "$dir/stdout.txt" "$code" "$dir" wine "$dist/wsq.exe" 2>&1) || {
    echo "standard output: $(head -c 300 "$dir/stdout.txt")" >&2
    host_logs_of_run "$dir" | xargs -r tail -n 20 >&2 2>/dev/null || true
    fail "$label: $report"
  }
  echo "$label -> $report"
}

# reader_image DIR SYNTHETIC_EXE: DIR/finger.pgm, a 400 x 500 synthetic finger for the virtual reader
# ("image = finger.pgm"), so the JPEG of velmar-capture-b's BMP has a reference of known content.
reader_image() {
  wine "$2" --width 400 --height 500 --seed 7 -o "$(winpath "$1/finger.pgm")" </dev/null >/dev/null ||
    fail "synthetic-finger could not write $1/finger.pgm"
}

# wait_capture_a_window [SECONDS]: the X window id of velmar-capture-a's window, which the host starts
# without a title; found by the program's class.
wait_capture_a_window() {
  local limit=${1:-30} id i
  for ((i = 0; i < limit * 10; i++)); do
    id=$(xdotool search --onlyvisible --classname 'velmar-capture-a.exe' 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then printf '%s\n' "$id"; return 0; fi
    sleep 0.1
  done
  echo "no velmar-capture-a window within ${limit}s" >&2
  return 1
}
