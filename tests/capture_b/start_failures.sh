#!/usr/bin/env bash
# velmar-capture-b ends before the capture waits: start-up exits (no arguments, required version) and
# every failed device start. Each case: exit code, exactly one byte with the code on the WSQ pipe, the
# image pipe untouched, and the log line that tells why.
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

# No argument at all: no dialog, 211 on the default pipe "\\.\pipe\wsq".
scenario "$ini" "report = faulty"
run_capture no-arguments "$dir" "$ini" --default-names
expect_failure 211
[ -e "$stage_root/trace.txt" ] && fail "the reader was started without arguments"
echo "ok: no arguments -> 211 on \\\\.\\pipe\\wsq"

# Required versions against the current 1.0: 1.0.1 is newer (221, before the reader is touched); 1 is
# a prefix of 1.0 and passes.
run_capture version-too-new "$dir" "$ini" -vr 1.0.1
expect_failure 221
expect_log "$dir" "Versión requerida (1.0.1) NO es compatible con versión actual (1.0)."
[ -e "$stage_root/trace.txt" ] && fail "the reader was started despite the version"
run_capture version-passes "$dir" "$ini" -vr 1
expect_failure 216
expect_log "$dir" "Versión requerida (1) es compatible con versión actual (1.0)."
echo "ok: -vr 1.0.1 -> 221, -vr 1 passes"

python3 "$(dirname "$0")/check_files.py" log "$(ls "$dir"/capture/dpfpdd/logdev-*.log)" >/dev/null
