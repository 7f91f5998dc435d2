#!/usr/bin/env bash
# A real window opens under Wine + Xvfb, is found by its title, gets Escape and closes; the program
# exits with 0.
set -euo pipefail
exe=$1
source "$(dirname "$0")/../lib/wine-gui.sh"

wine "$exe" </dev/null &
pid=$!
id=$(wait_window '^velmar-gui-smoke$')
screenshot gui-smoke "$id" >/dev/null
send_key "$id" Escape
window_gone '^velmar-gui-smoke$'
status=$(wait_exit "$pid")
[ "$status" = 0 ] || { echo "exit status $status, want 0" >&2; exit 1; }
echo "window $id opened, took Escape, closed; exit 0"
