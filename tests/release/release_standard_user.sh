#!/usr/bin/env bash
# A person who is not an administrator, on a PC where IT installed the package for the machine. Under
# Wine as root every folder is writable, so this test runs Wine as an unprivileged Linux user with a
# Wine prefix of its own: the user installs the package (as IT would), then root hands the installed
# folder to root, read-only for the user, as Program Files is for a standard user on Windows. Then, as
# that user, with the install folder as working folder:
#   - velmar-capture-a captures through velmar-device.exe (the console door), and
#   - velmar-capture-b captures through the README's C example (capture_json.exe without arguments,
#     which loads C:\Program Files\velmar\velmar-device.dll: the DLL door),
# both give exit code 0 and a WSQ that decodes; each program's log is where README's "Where the logs
# are" says (%LOCALAPPDATA%\velmar\<program>\); nothing was written into the install folder; no
# temporary file of capture-b is left behind anywhere in the prefix.
# Where this machine cannot run 32-bit programs, the installed 32-bit velmar-capture-a (with its 32-bit
# stand-ins) is replaced by the 64-bit test build before the folder is locked, with a line saying so.
#
# usage: release_standard_user.sh DIST PRODUCT_ENV CAPTURE_A_64_STAGE CAPTURE_JSON_EXE
# Needs root (to make the user and to lock the folder); skipped (77) otherwise.
set -euo pipefail
dist=$1 capture_a_64=$3 capture_json=$4
source "$2"  # VELMAR_VERSION, VELMAR_PRODUCT_NAME, VELMAR_COMPANY
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/../e2e/e2e_lib.sh"
art=$(artefact_dir)
rm -rf "${art:?}"/*

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIPPED: the standard-user test makes a Linux user and locks a folder, which needs root"
  exit 77
fi
user=velmar-standard
if ! id "$user" >/dev/null 2>&1; then
  useradd --create-home --shell /bin/bash "$user" || fail "useradd $user failed"
fi

# The user's own folder for everything it touches: its Wine prefix, the package, the example, the runs.
work=$(mktemp -d /tmp/velmar-standard.XXXXXX)
chmod 755 "$work"
prefix=$work/prefix
as_user() {  # as_user COMMAND...: runs COMMAND as the user, in its prefix, on this test's display
  runuser -u "$user" -- env HOME="$work" WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$DISPLAY" "$@"
}
cleanup() {
  as_user wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

python3 "$root/scripts/release.py" --dist "$dist" --out "$art/out" --version "$VELMAR_VERSION" \
  --product "$VELMAR_PRODUCT_NAME" --company "$VELMAR_COMPANY" --with-stand-ins >/dev/null || fail "release.py failed"
msi_name=$VELMAR_PRODUCT_NAME-$VELMAR_VERSION-with-stand-ins.msi
cp "$art/out/$msi_name" "$capture_json" "$work/"
mkdir "$prefix"
chown -R "$user:" "$work"

as_user wineserver -p
as_user wineboot -i </dev/null >/dev/null 2>&1 || true
[ -d "$prefix/drive_c/windows" ] || fail "wineboot made no prefix for $user in $prefix"
as_user wine msiexec /i "$(winpath "$work/$msi_name")" /qn </dev/null >"$art/msiexec.txt" 2>&1 ||
  fail "msiexec /i $msi_name as $user ended with $?: $(cat "$art/msiexec.txt")"
installed=$prefix/drive_c/Program\ Files/$VELMAR_PRODUCT_NAME
[ -f "$installed/velmar-device.exe" ] || fail "nothing installed under $installed"

if ! why=$("$root/cmake/can-run-win32" 2>&1); then
  echo "$why: the installed 32-bit velmar-capture-a is replaced by the 64-bit test build for this test"
  cp "$capture_a_64"/velmar-capture-a.exe "$capture_a_64"/*.dll "$installed/capture/futronic/"
fi

# Program Files as a standard user meets it: owned by root, readable, not writable.
chown -R root:root "$installed"
chmod -R go-w,go+rX "$installed"
if as_user touch "$installed/probe" 2>/dev/null; then
  fail "the user can still write into $installed"
fi
before=$(cd "$installed" && find . -printf '%p %s %T@\n' | sort)

local_app_data=$prefix/drive_c/users/$user/AppData/Local

# run_as_user DIR PROGRAM [ARGS...]: PROGRAM under Wine as the user, with the install folder as working
# folder, the request line on standard input (then end of input, for the console's "pause"), output
# and exit status in DIR.
run_as_user() {
  local dir=$1 status=0
  shift
  as_user bash -c 'cd "$1" && shift && exec timeout 150 wine "$@"' _ "$installed" "$@" \
    <"$dir/request.txt" >"$dir/stdout.txt" 2>"$dir/stderr.txt" || status=$?
  echo "$status" >"$dir/status.txt"
}
request() {  # request DIR a|b: DIR with the JSON request line a caller writes for that application
  mkdir -p "$1"
  python3 -c 'import json, sys; print(json.dumps({"command": sys.argv[1], "message": "Coloque el dedo"}))' \
    "C:\\Program Files\\$VELMAR_PRODUCT_NAME\\$(app_rel "$2")" >"$1/request.txt"
}
app_rel() {
  case $1 in
    a) echo 'capture\futronic\velmar-capture-a.exe' ;;
    b) echo 'capture\dpfpdd\velmar-capture-b.exe' ;;
  esac
}

# Every fault is collected, so one run shows all of them.
problems=()
request "$art/capture-a" a
run_as_user "$art/capture-a" "C:\\Program Files\\$VELMAR_PRODUCT_NAME\\velmar-device.exe"
(expect_line "capture-a through velmar-device.exe as $user" "$art/capture-a" "$dist" 0) ||
  problems+=("capture-a through velmar-device.exe failed (above)")

request "$art/capture-b" b
run_as_user "$art/capture-b" "$(winpath "$work/$(basename "$capture_json")")"
(expect_line "capture-b through the DLL (README's C example) as $user" "$art/capture-b" "$dist" 0 --jpeg-any) ||
  problems+=("capture-b through the DLL failed (above)")

# Each program's log where README says, written by these runs (the prefix is new).
for program in velmar-device velmar-capture-a velmar-capture-b; do
  folder=$local_app_data/velmar/$program
  mapfile -t logs < <(find "$folder" -maxdepth 1 -type f -name '*.log' 2>/dev/null | sort)
  if [ ${#logs[@]} -eq 0 ]; then
    problems+=("no log of $program in %LOCALAPPDATA%\\velmar\\$program\\")
  else
    echo "log of $program: ${logs[*]#"$local_app_data/"}"
    cp "${logs[@]}" "$art/"
  fi
done
written=$(cd "$prefix/drive_c" && find . -newer "$work/$msi_name" -type f -iname '*.log' \
  -not -path "./users/$user/AppData/Local/velmar/*" -not -path './windows/*' -printf '%p\n')
[ -z "$written" ] || problems+=("logs written elsewhere: $written")
after=$(cd "$installed" && find . -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] || problems+=("the install folder changed: $(diff <(echo "$before") <(echo "$after") | grep '^[<>]' | head -5 | tr '\n' ' ')")
left=$(cd "$prefix/drive_c" && find . -type f \( -name 'final-*' -o -iname '*.raw' -o -iname '*.wsq' \) -printf '%p ')
[ -z "$left" ] || problems+=("capture-b left temporary files: $left")
if [ ${#problems[@]} -gt 0 ]; then
  printf 'FAIL: %s\n' "${problems[@]}" >&2
  exit 1
fi
echo "release_standard_user: both captures as $user, logs under %LOCALAPPDATA%\\velmar\\, install folder untouched"
