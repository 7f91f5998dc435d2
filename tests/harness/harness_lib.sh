# harness_lib.sh: runs velmar-device the way a caller does, for the console tests. Sourced; needs the
# environment of cmake/wine-session.

# run_device DIR REQUEST_FILE [VAR=VALUE...]: runs velmar-device in DIR (its working directory) with
# the bytes of REQUEST_FILE piped into standard input and the given variables in its environment (the
# fake capture application reads its script and argv-file names from there). Its local application-data
# folder is DIR, so its log folder is DIR/velmar/velmar-device (Wine sets LOCALAPPDATA from the registry
# for a program started from Linux, so it is set by cmd, whose children inherit it). The request goes
# through a pipe that is closed once it is written, as a calling program's would be. Keeps DIR/stdout,
# DIR/stderr and DIR/status. Bounded: a run that hangs is killed and fails.
run_device() {
  local dir=$1 request=$2 status
  shift 2
  mkdir -p "$dir"
  set +e
  (cd "$dir" && cat "$request" | env "$@" timeout 120 wine cmd /c \
     "set LOCALAPPDATA=$(windows_path "$PWD" | tr / '\\')&& $(windows_path "$DEVICE" | tr / '\\')" \
     >stdout 2>stderr)
  status=$?
  set -e
  printf '%s\n' "$status" >"$dir/status"
  if [ "$status" = 124 ]; then
    echo "$dir: velmar-device did not end within 120 s" >&2
    return 1
  fi
}

# windows_path PATH: the same file as Wine programs name it (Wine maps the Linux root to drive Z:).
windows_path() {
  printf 'Z:%s\n' "$1"
}
