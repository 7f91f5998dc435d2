#!/usr/bin/env bash
# The user ends a waiting capture: Escape, and a click on the Cancel button of the dialog shown without
# its title bar ("-h"). Both give 208 (one byte 0xD0), and the reader's own cancelled report that
# follows is ignored with the two warnings. The dialog's screenshot is kept as an artefact.
source "$(dirname "$0")/capture_b_lib.sh"

dir=$stage_root/stage
stage "$dir"
ini=$stage_root/scenario.ini
scenario "$ini" "report = none"

check_cancelled() {
  expect_failure 208
  expect_log "$dir" "	ERR	CANCELLED"
  expect_log "$dir" "Ya existe un proceso de cierre en curso... Ignoramos llamada... "
  expect_log "$dir" "Intento 0... Ignorando..."
  grep -q '^report cancelled' "$stage_root/trace.txt" || fail "the reader did not report the cancellation"
}

start_capture escape "$dir" "$ini" -t 60000
id=$(wait_window "$title" 30) || fail "no dialog"
sleep 1  # the capture is armed during the dialog's initialisation; let it paint
shot=$(shot capture-dialog "$id")
send_key "$id" Escape
sleep 0.5  # the outcome stays on screen for about a second before the dialog ends
shot capture-dialog-cancelled "$id" >/dev/null
finish_capture
check_cancelled
echo "ok: Escape -> 208; screenshot $shot"

scenario "$ini" "report = none"
start_capture cancel-button "$dir" "$ini" -t 60000 -h
id=$(wait_window "$title" 30) || fail "no dialog"
sleep 1
shot capture-dialog-no-title "$id" >/dev/null
eval "$(xdotool getwindowgeometry --shell "$id")"
# The Cancel button sits at 59,228 (58 x 18) of the 178 x 262 dialog units; aim at its centre.
xdotool mousemove --window "$id" $((WIDTH * 88 / 178)) $((HEIGHT * 237 / 262)) click 1
finish_capture
check_cancelled
expect_log "$dir" "WM_COMMAND IDCANCEL"
echo "ok: Cancel button (no title bar) -> 208"
