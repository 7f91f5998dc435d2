#!/usr/bin/env bash
# velmar-capture-a end to end under Wine + Xvfb with the virtual scanner. A harness plays the host (the
# host's readPipe serves the pipes), a checker decodes the WSQ with the project's decoder. Each case
# runs in its own copy of the staged folder (its scenario) with its own user folders (its logs), both
# made anew, so it reads only what its own run wrote.
#
# usage: capture_a_cases.sh CASE HARNESS CHECK STAGE_DIR
set -euo pipefail
case_name=$1 harness=$2 check=$3 stage=$4
source "$(dirname "$0")/../lib/wine-gui.sh"

# Wine maps the Linux root to drive Z:; no Wine process is started for it (winepath can fail while
# other Wine processes start).
winpath() {
  local p
  p=$(realpath -m "$1")
  printf 'Z:%s\n' "${p//\//\\}"
}

art=$(artefact_dir)
run="$art/app"
out="$art/out"
user="$art/user"
rm -rf "$run" "$out" "$user"
mkdir -p "$run" "$out" "$user/localappdata" "$user/temp"
cp "$stage"/*.exe "$stage"/*.dll "$stage"/logo.bmp "$run"/
unset VIRTUAL_SCANNER_SCENARIO
# The harness hands these to the program as LOCALAPPDATA and TEMP (Wine would give the prefix's own).
export VELMAR_TEST_LOCALAPPDATA VELMAR_TEST_TEMP
VELMAR_TEST_LOCALAPPDATA=$(winpath "$user/localappdata")
VELMAR_TEST_TEMP=$(winpath "$user/temp")
log_dir="$user/localappdata/velmar/velmar-capture-a"

fail() { echo "FAIL ($case_name): $*" >&2; [ -n "$(log_file)" ] && tail -n 40 "$(log_file)" >&2; exit 1; }
log_file() { ls "$log_dir"/Futronic*.log 2>/dev/null | head -n1 || true; }
scenario() { printf '%s\n' "$@" >"$run/virtual-scanner.ini"; }
result() { tr -d '\r' <"$out/result.txt" | sed -n "s/^$1 //p"; }
hexbytes() { od -An -tx1 -v "$1" | tr -d ' \n'; }
log_has() { grep -aqF -- "$1" "$(log_file)" || fail "log lacks: $1"; }

# Runs the program through the harness in the foreground: run_capture [--side] -- ARGS...
run_capture() {
  local opts=()
  while [ "$1" != "--" ]; do opts+=("$1"); shift; done
  shift
  wine "$harness" "$(winpath "$out")" "${opts[@]}" -- "$(winpath "$run/velmar-capture-a.exe")" "$@" </dev/null
}

expect_exit() { [ "$(result exit)" = "$1" ] || fail "exit $(result exit), want $1"; }
# Both host pipes carry exactly the one byte of a failure code.
expect_failure_bytes() {
  local want
  want=$(printf '%02x' "$1")
  [ "$(hexbytes "$out/wsq.bin")" = "$want" ] || fail "response pipe carried '$(hexbytes "$out/wsq.bin" | head -c 40)', want $want"
  [ "$(hexbytes "$out/bmp.bin")" = "$want" ] || fail "image pipe carried '$(hexbytes "$out/bmp.bin" | head -c 40)', want $want"
}
expect_success_bytes() {
  [ "$(stat -c %s "$out/bmp.bin")" = 263222 ] || fail "BMP has $(stat -c %s "$out/bmp.bin") bytes, want 263222"
  [ "$(head -c 2 "$out/bmp.bin")" = BM ] || fail "BMP does not start with BM"
  [ "$(stat -c %s "$out/wsq.bin")" -ge 2 ] || fail "WSQ stream too short"
  local report
  report=$(wine "$check" "$(winpath "$out/wsq.bin")" "$(winpath "$out/bmp.bin")" </dev/null) || fail "check: $report"
  echo "$report"
}

# A picture the scanner shows but that is never accepted (under 30000 dark pixels): a ridged oval
# under a large triangle pointing up, with nothing below the oval, so the screenshot shows (and
# upright_on_screen checks) which way up the live frame is drawn.
small_finger_pgm() {
  local args=(-size 320x480 xc:white -fill gray25 -draw "ellipse 160,230 60,90 0,360" -stroke white -strokewidth 3)
  local y
  for ((y = 144; y < 320; y += 9)); do args+=(-draw "line 0,$y 319,$y"); done
  args+=(-stroke none -fill black -draw "polygon 160,20 80,120 240,120")
  /usr/bin/convert "${args[@]}" -depth 8 "pgm:$run/small-finger.pgm"
}

# Mean grey (0 black .. 1 white) of a box of the screenshot.
box_mean() { /usr/bin/convert "$1" -crop "$2" -colorspace gray -format '%[fx:mean]' info:; }

# The triangle (frame rows 20..120) must be dark near the top of the picture, and the mirrored place
# near the bottom light. The picture fills the client area below the title line; the band positions
# are fractions of the screenshot's height, wide of the exact layout.
upright_on_screen() {
  local shot=$1 w h top bottom
  read -r w h < <(identify -format '%w %h' "$shot")
  top=$(box_mean "$shot" "40x8+$((w / 2 - 20))+$((h * 26 / 100))")
  bottom=$(box_mean "$shot" "40x8+$((w / 2 - 20))+$((h * 80 / 100))")
  echo "screenshot ${w}x${h}: mean grey near the top $top, near the bottom $bottom"
  awk -v t="$top" -v b="$bottom" 'BEGIN { exit !(t < 0.35 && b > 0.8) }'
}

# Starts a capture in the background that shows a live frame and waits; sets bg_pid and win_id.
start_live_capture() {
  local title=$1
  small_finger_pgm
  scenario "image = small-finger.pgm" "timeline = none*3, finger"
  run_capture -- -lt "$title" -ls "Coloque el dedo" &
  bg_pid=$!
  win_id=$(wait_window "^$title\$" 20) || fail "no capture window"
  sleep 1  # a few frame rounds, so the picture shows the live frame
}

case "$case_name" in
  success)
    # Built-in default scenario: a synthetic finger after about a second; the side pipes are served.
    rm -f "$run/virtual-scanner.ini"
    run_capture --side -- -lt capa-success -v 2 -h  # the host always passes -h
    expect_exit 0
    expect_success_bytes
    [ "$(hexbytes "$out/nfiq.bin")" = 02 ] || fail "nfiq pipe carried '$(hexbytes "$out/nfiq.bin")', want 02"
    [ "$(stat -c %s "$out/fmd.bin")" = 384 ] || fail "template has $(stat -c %s "$out/fmd.bin") bytes, want 384"
    [ "$(head -c 3 "$out/fmd.bin")" = FMR ] || fail "template does not start with FMR"
    log_has "INF -iniciando-"
    log_has "INF Device 'futronic/<unknown>' ready"
    log_has "threshold frequency #3"
    log_has "DBG NFIQ = 2"
    log_has "DBG Template size of 384 bytes"
    log_has "DBG * Escribiendo DEV_SUCCESS"
    log_has "INF -finalizando con 0-"
    # Both logs in the user's folder ("-v 2" adds the second), nothing written beside the program.
    ls "$log_dir"/log*.log >/dev/null 2>&1 || fail "no -v log in $log_dir"
    grep -aqF "INF -finalizando con 0-" "$log_dir"/log*.log || fail "the -v log lacks the INF lines"
    if grep -aqF "DBG " "$log_dir"/log*.log; then fail "the -v 2 log has DBG lines"; fi
    written=$(cd "$run" && ls | grep -vxE 'velmar-capture-a\.exe|ftrScanAPI\.dll|ftrMathAPI\.dll|ftrAnsiSdk\.dll|logo\.bmp' || true)
    [ -z "$written" ] || fail "written beside the program: $written"
    cp "$(log_file)" "$art/Futronic.log"
    echo "log lines of the run:"
    grep -a -E "iniciando|ready|frequency #3|NFIQ|Escribiendo|Intentando|finalizando" "$(log_file)" | tr -d '\r'
    ;;
  no_scanner)
    scenario "device = absent"
    run_capture --
    expect_exit 214
    expect_failure_bytes 214
    log_has "ERR ERROR Device.ftrScanOpenDevice: 2"
    log_has "ERR window.create device.init failed"
    log_has "DBG * Escribiendo DEV_ERR_NOT_DETECTED"
    ;;
  image_size)
    scenario "image_size_error = 31"
    run_capture --
    expect_exit 211
    expect_failure_bytes 211
    log_has "ERR ERROR Device.ftrScanGetImageSize: 31"
    ;;
  grab_error)
    scenario "timeline = finger, error:31"
    run_capture --
    expect_exit 212
    expect_failure_bytes 212
    log_has "ERR ERROR Device.ftrScanGetFrame: 31"
    log_has "DBG * Escribiendo DEV_ERR_INTERNAL_DEVICE"
    ;;
  moving_finger)
    # Frames that fail with 4306 (or 0x20000001) while the finger moves restart the count of three.
    scenario "timeline = finger*2, error:4306, finger*2, error:0x20000001, finger"
    run_capture --
    expect_exit 0
    expect_success_bytes
    counts=$(grep -a -o "threshold frequency #[0-9]*" "$(log_file)" | sed 's/.*#//' | tr '\n' ' ')
    [ "$counts" = "1 2 1 2 1 2 3 " ] || fail "counter went '$counts', want '1 2 1 2 1 2 3 '"
    ;;
  timeout)
    # At least 5 s from the process start; well under 8 s from the moment the window is up (the
    # timeout thread starts while the window is being created), so Wine's start-up time under load
    # does not count against the program.
    scenario "timeline = none"
    run_capture -- -t 5000 -lt capa-timeout &
    bg_pid=$!
    wait_window '^capa-timeout$' 20 >/dev/null || fail "no capture window"
    shown=$(date +%s%N)
    wait_exit "$bg_pid" 30 >/dev/null || fail "harness did not end"
    after_window_ms=$((($(date +%s%N) - shown) / 1000000))
    expect_exit 203
    expect_failure_bytes 203
    ms=$(result elapsed_ms)
    [ "$ms" -ge 5000 ] || fail "ended after $ms ms, want at least 5000"
    [ "$after_window_ms" -lt 8000 ] || fail "ended $after_window_ms ms after the window appeared, want under 8000"
    log_has "DBG Thread de timeout iniciado (5000)."
    log_has "DBG * Escribiendo DEV_ERR_TIMEOUT"
    echo "timeout: $ms ms after the start, $after_window_ms ms after the window appeared"
    ;;
  escape)
    start_live_capture capa-escape
    shot=$(screenshot capture-window-live "$win_id")
    upright_on_screen "$shot" || fail "the live frame is not drawn the right way up"
    send_key "$win_id" Escape
    window_gone "^capa-escape\$" 10 || fail "window still open after Escape"
    wait_exit "$bg_pid" 30 >/dev/null || fail "harness did not end"
    expect_exit 208
    expect_failure_bytes 208
    log_has "DBG window.keydown ESC"
    log_has "DBG * Escribiendo DEV_ERR_CANCELLED"
    echo "screenshot: $shot"
    ;;
  close)
    start_live_capture capa-close
    xdotool key --window "$win_id" alt+F4 2>/dev/null || true
    window_gone "^capa-close\$" 10 || fail "window still open after alt+F4"
    wait_exit "$bg_pid" 30 >/dev/null || fail "harness did not end"
    expect_exit 208
    expect_failure_bytes 208
    log_has "DBG window.close"
    if grep -aqF "window.keydown ESC" "$(log_file)"; then fail "closing took the Escape path"; fi
    ;;
  second_instance)
    start_live_capture capa-first
    # The second instance runs from its own folder with its own user folder (its own log) and must
    # answer 202 without a window.
    second="$art/second"
    rm -rf "$second" && mkdir -p "$second/out" "$second/localappdata" && cp "$run"/*.exe "$run"/*.dll "$second"/
    VELMAR_TEST_LOCALAPPDATA=$(winpath "$second/localappdata") \
      wine "$harness" "$(winpath "$second/out")" --tag second -- "$(winpath "$second/velmar-capture-a.exe")" \
      -lt capa-second </dev/null
    tr -d "\r" <"$second/out/result.txt" | grep -q "^exit 202$" || fail "second instance: $(head -n1 "$second/out/result.txt")"
    [ "$(hexbytes "$second/out/wsq.bin")" = ca ] || fail "second instance response pipe: $(hexbytes "$second/out/wsq.bin")"
    [ "$(hexbytes "$second/out/bmp.bin")" = ca ] || fail "second instance image pipe: $(hexbytes "$second/out/bmp.bin")"
    second_log=$(ls "$second"/localappdata/velmar/velmar-capture-a/Futronic*.log)
    grep -aqF "Ya hay una instancia" "$second_log" || fail "second log lacks the single-instance error"
    if grep -aqE "window.create|finalizando" "$second_log"; then fail "second instance went on after the guard"; fi
    if xdotool search --name '^capa-second$' >/dev/null 2>&1; then fail "second instance made a window"; fi
    send_key "$win_id" Escape
    wait_exit "$bg_pid" 30 >/dev/null || fail "first harness did not end"
    expect_exit 208
    ;;
  slow_frame_close)
    # Every grab takes 1.5 s. Escape comes while one runs; the scanner is closed only after that grab
    # has returned (the virtual scanner records a close that meets a running grab).
    scenario "timeline = blank" "frame_delay_ms = 1500" "trace = calls.txt"
    run_capture -- -lt capa-slow &
    bg_pid=$!
    win_id=$(wait_window '^capa-slow$' 20) || fail "no capture window"
    for ((i = 0; i < 100; i++)); do
      grep -qx "frame delay 1500 ms" "$run/calls.txt" 2>/dev/null && break
      sleep 0.1
    done
    sleep 0.3  # well inside the grab
    send_key "$win_id" Escape
    wait_exit "$bg_pid" 30 >/dev/null || fail "harness did not end"
    expect_exit 208
    expect_failure_bytes 208
    cp "$run/calls.txt" "$art/calls.txt"
    grep -qx "close" "$run/calls.txt" || fail "the scanner was never closed"
    if grep -qx "close while a frame call runs" "$run/calls.txt"; then fail "the scanner was closed during a grab"; fi
    # The close follows the end of the last grab.
    last=$(grep -xE "frame delay [0-9]+ ms|frame delay over|close" "$run/calls.txt" | tail -n 2 | tr '\n' ' ')
    [ "$last" = "frame delay over close " ] || fail "last calls '$last', want 'frame delay over close '"
    log_has "DBG Device.closeDevice cerrando dispositivo..."
    ;;
  two_fingers)
    scenario "synthetic = two-fingers" "timeline = finger"
    run_capture --
    expect_exit 204
    expect_failure_bytes 204
    log_has "Captura err"
    log_has "DBG * Escribiendo DEV_ERR_WRONG_FINGERPRINT"
    ;;
  side_failures)
    # NFIQ and template failures touch only the side pipes: NFIQ 0, the template pipe the code 0.
    scenario "timeline = finger" "nfiq_error = 87" "template_error = 87"
    run_capture --side --
    expect_exit 0
    expect_success_bytes
    [ "$(hexbytes "$out/nfiq.bin")" = 00 ] || fail "nfiq pipe carried '$(hexbytes "$out/nfiq.bin")', want 00"
    [ "$(hexbytes "$out/fmd.bin")" = 00 ] || fail "template pipe carried '$(hexbytes "$out/fmd.bin")', want 00"
    log_has "WRN ERROR ftrAnsiSdkCreateTemplateFromBuffer: 87"
    ;;
  template_size)
    # A template size beyond the buffer is no template: the template pipe gets the code, the log the size.
    scenario "timeline = finger" "template_max_size = 512" "template_size = 384" "template_reported_size = 4096"
    run_capture --side --
    expect_exit 0
    expect_success_bytes
    [ "$(hexbytes "$out/fmd.bin")" = 00 ] || fail "template pipe carried '$(hexbytes "$out/fmd.bin")', want 00"
    log_has "WRN ERROR Template size of 4096 bytes outside the buffer of 512 bytes"
    ;;
  *)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac
echo "$case_name: passed (exit $(result exit), $(result elapsed_ms) ms)"
