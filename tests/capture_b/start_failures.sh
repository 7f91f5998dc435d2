#!/usr/bin/env bash
# velmar-capture-b ends before the capture waits: every failed device start. Each case: exit code,
# exactly one byte with the code on the WSQ pipe, the image pipe untouched, and the log line that tells
# why; the log's checksums verify.
source "$(dirname "$0")/capture_b_lib.sh"

dir=$stage_root/stage
stage "$dir"
ini=$stage_root/scenario.ini

# name | scenario line | expected code | a log line that must be there
cases=(
  "init failure|init = 0x05BA001F|212|ERROR dpfpdd_init: 96075807"
  "first query success with count 0|first_query = success|212|ERROR dpfpdd_query_devices: 0"
  "later count 0|listed = 0|214|0 dispositivo(s) detectado(s)"
  "open invalid parameter|open = 0x05BA0014|211|ERROR dpfpdd_open: 96075796"
  "open invalid reader|open = 0x05BA0015|212|ERROR dpfpdd_open: 96075797"
  "open busy|open = 0x05BA001E|217|ERROR dpfpdd_open: 96075806"
  "open failure|open = 0x05BA001F|213|ERROR dpfpdd_open: 96075807"
  "arming failure|capture = 0x05BA001F|213|ERROR dpfpdd_open: 96075807"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name line code logline <<<"$entry"
  scenario "$ini" "$line"
  run_capture "${name// /-}" "$dir" "$ini"
  expect_failure "$code"
  expect_log "$dir" "$logline"
  [ "$code" = 213 ] && [ "$line" = "capture = 0x05BA001F" ] || expect_log "$dir" "ERROR Device.startDevice"
  expect_log "$dir" "Finalizando con código $code"
  echo "ok: $name -> $code"
done

python3 "$(dirname "$0")/check_files.py" log "$(log_file "$dir")" >/dev/null
expect_install_untouched "$dir"
