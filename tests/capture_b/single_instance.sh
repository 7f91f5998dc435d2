#!/usr/bin/env bash
# A second velmar-capture-b started while one is waiting ends at once with 202 (one byte 0xCA on its WSQ
# pipe) and shows no dialog; the first goes on and is then cancelled with Escape. While the dialog is
# open it holds the Print Screen key; afterwards another program can take it.
source "$(dirname "$0")/capture_b_lib.sh"

dir=$stage_root/stage
stage "$dir"
ini=$stage_root/scenario.ini
scenario "$ini" "report = none"

start_capture first "$dir" "$ini" -t 60000
first_pid=$host_pid
first_out=$out
id=$(wait_window "$title" 30) || fail "no dialog"

run_capture second "$dir" "$ini" -t 60000
expect_failure 202
expect_log "$dir" "Ya hay una instancia de la aplicación ejecutándose."
[ "$(xdotool search --onlyvisible --name "$title" | wc -l)" = 1 ] || fail "a second dialog appeared"
echo "ok: second instance -> 202"

status=0
timeout 30 wine "$hotkey_probe_exe" </dev/null >/dev/null 2>&1 || status=$?
[ "$status" = $((1409 & 255)) ] || fail "Print Screen was not held by the dialog (probe status $status)"
echo "ok: Print Screen is held while the dialog is open"

host_pid=$first_pid
out=$first_out
send_key "$id" Escape
finish_capture
expect_failure 208
echo "ok: the first instance went on and was cancelled -> 208"
timeout 30 wine "$hotkey_probe_exe" </dev/null >/dev/null 2>&1 || fail "Print Screen still held after the dialog closed"
echo "ok: Print Screen is free again"
