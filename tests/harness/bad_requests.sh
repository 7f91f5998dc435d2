#!/usr/bin/env bash
# Request lines velmar-device cannot use: no JSON request and a missing "command" or "message", values
# the positions do not fit (an unfinished object with the message first), a message that is not UTF-8,
# a JSON request whose "timeout" is neither a string nor a number.
# Each must end the program with a message on standard error, nothing on standard output, a non-zero
# status, and no capture application started.
set -euo pipefail
DEVICE=$1
FAKE=$2
here=$(dirname "$0")
source "$here/../lib/wine-gui.sh"
source "$here/harness_lib.sh"
top=$(artefact_dir)
rm -rf "${top:?}"/*
cd "$top"

fake=$(windows_path "$FAKE")
# case name | request bytes (printf format; the fake capture application as the command)
cases=(
  "no-line|"
  "blank-line|\\n"
  "no-command|{\"message\":\"Coloque el dedo\"}\\n"
  "no-message|{\"command\":\"$fake\"}\\n"
  "message-first|{\"message\":\"m\",\"command\":\"$fake\"\\n"
  "cut-short|{\"command\":\"$fake\",\"message\\n"
  "latin-1-message|{\"command\":\"$fake\",\"message\":\"Coloque el dedo \\xf1\"}\\n"
  "surrogate-message|{\"command\":\"$fake\",\"message\":\"\\xed\\xa0\\x80\"}\\n"
  "json-timeout-true|{\"command\":\"$fake\",\"message\":\"m\",\"timeout\":true}\\n"
  "cut-character|{\"command\":\"$fake\",\"message\":\"dedo \\xc3\"}\\n"
)
failed=0
for entry in "${cases[@]}"; do
  IFS='|' read -r name format <<<"$entry"
  # shellcheck disable=SC2059  # the request bytes are written by the format's escapes
  printf "$format" >"$name.request"
  run_device "$top/$name" "$top/$name.request" VELMAR_FAKE_CAPTURE="wsq=byte:0" \
    VELMAR_FAKE_ARGV_FILE="$(windows_path "$top/$name/argv.txt")"
  status=$(cat "$name/status")
  problems=()
  [ "$status" != 0 ] || problems+=("status 0")
  [ ! -s "$name/stdout" ] || problems+=("standard output: $(head -c 200 "$name/stdout")")
  grep -q '^velmar-device: invalid request line: ' "$name/stderr" || problems+=("no message on standard error")
  [ ! -e "$name/argv.txt" ] || problems+=("the capture application was started")
  grep -qa ' LOG_ERROR invalid request line: ' "$name"/velmar/velmar-device/*.log 2>/dev/null ||
    problems+=("no LOG_ERROR line in the host log")
  if [ ${#problems[@]} -eq 0 ]; then
    printf '%s: status %s, %s\n' "$name" "$status" "$(head -n1 "$name/stderr")"
  else
    printf '%s: FAILED: %s\n' "$name" "${problems[*]}" >&2
    failed=1
  fi
done
exit $failed
