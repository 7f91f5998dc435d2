#!/usr/bin/env bash
# What the reader reports after arming, turned into the outcome: a faulty finger (216, "UNKNOWN"), a
# report with its error field set (212), an image with two fingers (204), and no report at all with the
# shortest timeout (203, after which the reader is told to cancel). Each sends exactly its code byte on
# the WSQ pipe and leaves the image pipe untouched although "-bp" was given.
source "$(dirname "$0")/capture_b_lib.sh"

dir=$stage_root/stage
stage "$dir"
ini=$stage_root/scenario.ini
trace=$stage_root/trace.txt

# Without "..\..\fondo.bmp" the dialog works on the default background.
rm "$dir/fondo.bmp"
scenario "$ini" "report = faulty" "delay_ms = 300"
start_capture faulty-finger "$dir" "$ini"
id=$(wait_window "$title" 30) || fail "no dialog"
# The outcome stays on screen for about a second; keep a picture of it.
for ((i = 0; i < 100; i++)); do
  log_of "$dir" 2>/dev/null | grep -q "	ERR	UNKNOWN" && break
  sleep 0.1
done
shot faulty-finger-status "$id" >/dev/null
finish_capture
expect_failure 216
expect_log "$dir" "* generando DEV_ERR_FAULTY_FINGER callback"
expect_log "$dir" "	ERR	UNKNOWN"
echo "ok: faulty finger -> 216 (UNKNOWN), without a background picture"

scenario "$ini" "report = error" "report_error = 0x05BA001F" "delay_ms = 300"
run_capture error-report "$dir" "$ini"
expect_failure 212
expect_log "$dir" "* generando DEV_ERR_INTERNAL_DEVICE callback"
echo "ok: error report -> 212"

scenario "$ini" "fingers = 2" "delay_ms = 300"
run_capture two-fingers "$dir" "$ini"
expect_failure 204
expect_log "$dir" "	ERR	WRONG FINGERPRINT"
expect_log "$dir" "	ERR	Captura errónea. Verifique que para la captura se haya presionado en el CENTRO"
echo "ok: two fingers -> 204"

# -t below the minimum is raised to 10000 ms.
scenario "$ini" "report = none"
run_capture timeout "$dir" "$ini" -t 5
expect_failure 203
expect_log "$dir" "Procesado: -t '10000'"
expect_log "$dir" "* generando TIMEOUT callback"
expect_log "$dir" "	ERR	TIMEOUT"
grep -q '^cancel' "$trace" || fail "the reader was not told to cancel after the timeout"
armed=$(grep -n '^capture_async' "$trace" | cut -d: -f1)
cancelled=$(grep -n '^cancel' "$trace" | head -n1 | cut -d: -f1)
[ "$cancelled" -gt "$armed" ] || fail "cancel came before arming"
echo "ok: no report, -t 5 -> 10000 ms -> 203, then cancel"
