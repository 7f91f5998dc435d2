#!/usr/bin/env bash
# velmar-device from a staged dist/ driving velmar-capture-a and velmar-capture-b through every outcome
# the virtual scanners can produce, as a caller does: request line in, JSON line out, exit status 0.
# Each JSON line is checked by check_line.py (a JSON parser, ImageMagick, the project's WSQ decoder).
#
# usage: e2e_cases.sh GROUP DIST HALF_WSQ_EXE SYNTHETIC_FINGER_EXE
#   GROUP  capture_a | capture_b | timeouts | host
set -euo pipefail
group=$1 dist=$2 half_wsq_exe=$3 synthetic_exe=$4
source "$(dirname "$0")/e2e_lib.sh"

[ -x "$dist/velmar-device.exe" ] || fail "no staged velmar-device.exe in $dist"
device=$dist/velmar-device.exe
art=$(artefact_dir)

# table_case APP "NAME|SCENARIO LINES (;-separated)|CODE": one capture through velmar-device.
table_case() {
  local app=$1 name scen code lines=()
  IFS='|' read -r name scen code <<<"$2"
  [ -n "$scen" ] && IFS=';' read -r -a lines <<<"$scen"
  local dir="$art/${name// /-}"
  prepare_run "$dir" "${lines[@]}"
  run_device "$dir" "$device" "$(app_path "$dist" "$app")" "Coloque el dedo índice"
  expect_line "$name" "$dir" "$dist" "$code"
}

# second_instance_and_escape APP WAIT_SCENARIO: a first capture waits for a finger; a second caller
# meanwhile gets 202 from the second instance; Escape then ends the first with 208.
second_instance_and_escape() {
  local app=$1 scen=$2 first="$art/first-$1" second="$art/second-$1" id
  prepare_run "$first" "$scen"
  start_device "$first" "$device" "$(app_path "$dist" "$app")" "primera"
  local first_pid=$device_pid
  if [ "$app" = a ]; then id=$(wait_capture_a_window 30) || fail "no capture-a window"
  else id=$(wait_window "$capture_b_title" 30) || fail "no capture-b dialog"; fi
  screenshot "window-$app" "$id" >/dev/null

  prepare_run "$second" "$scen"
  run_device "$second" "$device" "$(app_path "$dist" "$app")" "segunda" 60
  expect_line "second caller while the first captures" "$second" "$dist" 202
  kill -0 "$first_pid" 2>/dev/null || fail "the first capture ended when the second caller ran"

  send_key "$id" Escape
  device_pid=$first_pid
  finish_device "$first" 30
  expect_line "Escape in the first capture" "$first" "$dist" 208
}

case $group in
  capture_a)
    cases=(
      "a success||0"
      "a no scanner|device = absent|214"
      "a image size failure|image_size_error = 31|211"
      "a grab error|timeline = finger, error:31|212"
      "a two fingers|synthetic = two-fingers;timeline = finger|204"
    )
    for entry in "${cases[@]}"; do table_case a "$entry"; done
    second_instance_and_escape a "timeline = none"
    ;;
  capture_b)
    # Success: the reader reports a known picture; the JPEG is made of it at its own size.
    dir="$art/b-success"
    prepare_run "$dir" "image = finger.pgm"
    reader_image "$dir" "$synthetic_exe"
    run_device "$dir" "$device" "$(app_path "$dist" b)" "Coloque el dedo índice"
    expect_line "b success" "$dir" "$dist" 0 --jpeg-ref "$dir/finger.pgm"
    cases=(
      "b init failure|init = 0x05BA001F|212"
      "b no reader listed|listed = 0|214"
      "b open invalid parameter|open = 0x05BA0014|211"
      "b open busy|open = 0x05BA001E|217"
      "b open failure|open = 0x05BA001F|213"
      "b faulty finger|report = faulty;delay_ms = 300|216"
      "b two fingers|fingers = 2;delay_ms = 300|204"
    )
    for entry in "${cases[@]}"; do table_case b "$entry"; done
    # The converter wsq.exe missing from the installation.
    noconv="$art/dist-without-converter"
    rm -rf "$noconv" && cp -r "$dist" "$noconv" && rm "$noconv/wsq.exe"
    dir="$art/b-no-converter"
    prepare_run "$dir" "delay_ms = 300"
    run_device "$dir" "$noconv/velmar-device.exe" "$(app_path "$noconv" b)" "sin conversor"
    expect_line "b without converter" "$dir" "$dist" 210
    second_instance_and_escape b "report = none"
    ;;
  timeouts)
    # No finger ever: the console asks for 15000 ms, the host makes it 45000, capture-a clamps that to
    # its maximum of 30000 and capture-b keeps it. Both run at the same time (different mutexes).
    prepare_run "$art/a-timeout" "timeline = none"
    start_device "$art/a-timeout" "$device" "$(app_path "$dist" a)" "sin dedo"
    a_pid=$device_pid
    prepare_run "$art/b-timeout" "report = none"
    start_device "$art/b-timeout" "$device" "$(app_path "$dist" b)" "sin dedo"
    b_pid=$device_pid
    device_pid=$a_pid
    finish_device "$art/a-timeout" 90
    expect_line "a timeout" "$art/a-timeout" "$dist" 203
    device_pid=$b_pid
    finish_device "$art/b-timeout" 90
    expect_line "b timeout" "$art/b-timeout" "$dist" 203
    ;;
  host)
    # A command that names no program: the host cannot start it.
    dir="$art/missing-application"
    prepare_run "$dir"
    run_device "$dir" "$device" "$(winpath "$dist")\\capture\\none\\missing.exe" "nada"
    expect_line "missing application" "$dir" "$dist" 211
    # An application that ends without answering on either pipe.
    dir="$art/no-answer"
    prepare_run "$dir"
    unset VELMAR_HALF_WSQ_FILE
    run_device "$dir" "$device" "$(winpath "$half_wsq_exe")" "nada"
    expect_line "application without an answer" "$dir" "$dist" 109
    ;;
  *)
    echo "unknown group $group" >&2
    exit 2
    ;;
esac
echo "$group: passed"
