#!/usr/bin/env bash
# The installer made from the staged tree (scripts/release.py, as scripts/package --with-stand-ins
# makes it), under Wine: a silent install lays every file down under Program Files with the dist
# layout; one capture from the installed tree gives exit code 0 and a WSQ that decodes; a rebuilt
# package of the same version (a new product code) installed over it replaces it: one product stays
# registered, the rebuilt one; an installer with a higher version installed over it leaves one product
# registered, with the new version; the older package is then refused and changes nothing; the silent
# uninstall removes every installed file and leaves the files the programs' users put there. Without
# --with-stand-ins the package carries no stand-in library and its name does not say it does; with it,
# the name says so. INSTALLDIR given to msiexec moves the whole tree.
#
# usage: release_installer.sh DIST INSTALLED_PRODUCTS_EXE PRODUCT_ENV
set -euo pipefail
dist=$1 installed_products=$2
source "$3"  # VELMAR_VERSION, VELMAR_PRODUCT_NAME, VELMAR_COMPANY
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/../e2e/e2e_lib.sh"
art=$(artefact_dir)
out=$art/out
rm -rf "$out"

IFS=. read -r major minor patch _ <<<"$VELMAR_VERSION"
newer=$major.$minor.$((patch + 1))
package() {  # package VERSION DIR [--with-stand-ins]
  python3 "$root/scripts/release.py" --dist "$dist" --out "$2" --version "$1" --product "$VELMAR_PRODUCT_NAME" \
    --company "$VELMAR_COMPANY" "${@:3}" >/dev/null || fail "release.py $* failed"
}
package "$VELMAR_VERSION" "$out/plain"
package "$VELMAR_VERSION" "$out/v1" --with-stand-ins
package "$VELMAR_VERSION" "$out/v1-rebuilt" --with-stand-ins
package "$newer" "$out/v2" --with-stand-ins
plain_msi=$out/plain/$VELMAR_PRODUCT_NAME-$VELMAR_VERSION.msi
v1_msi=$out/v1/$VELMAR_PRODUCT_NAME-$VELMAR_VERSION-with-stand-ins.msi
rebuilt_msi=$out/v1-rebuilt/$VELMAR_PRODUCT_NAME-$VELMAR_VERSION-with-stand-ins.msi
v2_msi=$out/v2/$VELMAR_PRODUCT_NAME-$newer-with-stand-ins.msi
for msi in "$plain_msi" "$v1_msi" "$rebuilt_msi" "$v2_msi"; do
  [ -f "$msi" ] || fail "no package $(basename "$msi"); made: $(cd "$out" && find . -name '*.msi' | tr '\n' ' ')"
done
product_code() { msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print $2 }'; }
[ "$(product_code "$v1_msi")" != "$(product_code "$rebuilt_msi")" ] || fail "a rebuilt package kept the product code"

# The zip holds the dist tree; without --with-stand-ins neither the zip nor the MSI has a stand-in.
mapfile -t shipped < <(cd "$dist" && find . -type f -printf '%P\n' | sort)
mapfile -t zipped < <(python3 -c 'import sys,zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' \
  "$out/v1/$VELMAR_PRODUCT_NAME-$VELMAR_VERSION-with-stand-ins.zip")
[ "${shipped[*]}" = "${zipped[*]}" ] || fail "the zip holds ${zipped[*]}, the tree ${shipped[*]}"
(cd "$out/v1" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the files"
plain_files=$(msiinfo export "$plain_msi" File | cut -f3)
plain_zip=$(python3 -c 'import sys,zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' \
  "$out/plain/$VELMAR_PRODUCT_NAME-$VELMAR_VERSION.zip")
for lib in ftrScanAPI.dll ftrMathAPI.dll ftrAnsiSdk.dll dpfpdd.dll; do
  ! grep -qix "$lib" <<<"$plain_files" || fail "the package without stand-ins carries $lib"
  ! grep -qi "/$lib\$" <<<"$plain_zip" || fail "the zip without stand-ins carries $lib"
done
grep -qx velmar-capture-a.exe <<<"$plain_files" || fail "the package without stand-ins lacks velmar-capture-a.exe"
echo "packages: $(ls "$out"/*/*.msi | xargs -n1 basename | sort -u | tr '\n' ' ')"

upgrade_code=$(grep -o '^UPGRADE_CODE = "[^"]*"' "$root/scripts/release.py" | cut -d'"' -f2)
installed=$WINEPREFIX/drive_c/Program\ Files/$VELMAR_PRODUCT_NAME
msiexec_run() {  # msiexec_run /i|/x MSI
  local status=0
  wine msiexec "$1" "$(winpath "$2")" /qn </dev/null >"$art/msiexec.txt" 2>&1 || status=$?
  [ $status -eq 0 ] || { cat "$art/msiexec.txt" >&2; fail "msiexec $1 $(basename "$2") ended with $status"; }
}
products() { wine "$installed_products" "$upgrade_code" </dev/null | tr -d '\r'; }
expect_installed() {  # expect_installed VERSION: one product of that version, every file in place
  local list
  list=$(products)
  [ "$(grep -c . <<<"$list")" -eq 1 ] || fail "want one registered product, have: ${list:-none}"
  [ "$(cut -d'|' -f2 <<<"$list")" = "$1" ] || fail "registered version $(cut -d'|' -f2 <<<"$list"), want $1"
  # What Add/Remove Programs lists: the product's uninstall entry, in the 64-bit registry (with 32-bit
  # Wine installed, "wine reg" is the 32-bit reg.exe, which sees the 32-bit view unless told).
  local entry
  entry=$(wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(cut -d'|' -f1 <<<"$list")" \
          /reg:64 </dev/null 2>/dev/null | tr -d '\r') || fail "no Add/Remove Programs entry for $list"
  grep -Eq "DisplayVersion +REG_SZ +$1\$" <<<"$entry" || fail "Add/Remove Programs shows no version $1: $entry"
  grep -Eq "DisplayName +REG_SZ +$VELMAR_PRODUCT_NAME\$" <<<"$entry" || fail "Add/Remove Programs shows no name: $entry"
  for rel in "${shipped[@]}"; do
    cmp -s "$dist/$rel" "$installed/$rel" || fail "$rel is not installed as staged"
  done
  echo "installed: $list"
}

# The prefix may hold products a failed run left: removed by their product codes.
for code in $(products | cut -d'|' -f1); do
  wine msiexec /x "$code" /qn </dev/null >/dev/null 2>&1 || true
done
[ -z "$(products)" ] || fail "products of an earlier run are still registered: $(products)"

msiexec_run /i "$v1_msi"
expect_installed "$VELMAR_VERSION"

# One capture from the installed tree, as a caller does. velmar-capture-b is 64-bit and always runs;
# the 32-bit velmar-capture-a runs where the machine can run 32-bit programs.
capture_from() {  # capture_from a|b
  local dir="$art/capture-$1"
  prepare_run "$dir"
  run_device "$dir" "$installed/velmar-device.exe" "$(app_path "$installed" "$1")" "Coloque el dedo"
  local opts=()
  [ "$1" = b ] && opts=(--jpeg-any)
  expect_line "capture-$1 from the installed tree" "$dir" "$installed" 0 "${opts[@]}"
}
capture_from b
if why=$("$root/cmake/can-run-win32" 2>&1); then
  capture_from a
else
  echo "SKIPPED: capture-a from the installed tree: $why"
fi
# A file that is not the package's (here a log an older version wrote beside its program) stays when
# the package is removed.
user_log="$installed/capture/futronic/Futronic$(date +%Y%m%d).log"
[ -f "$user_log" ] || echo "a log line" >"$user_log"

# The same version rebuilt: it replaces the installed product instead of registering beside it.
msiexec_run /i "$rebuilt_msi"
expect_installed "$VELMAR_VERSION"
[ "$(products | cut -d'|' -f1)" = "$(product_code "$rebuilt_msi")" ] ||
  fail "after the same-version rebuild the registered product is $(products), want $(product_code "$rebuilt_msi")"
echo "same-version rebuild: one product, $(products)"

msiexec_run /i "$v2_msi"
expect_installed "$newer"

# A downgrade is refused and leaves the newer version as it was.
status=0
wine msiexec /i "$(winpath "$v1_msi")" /qn </dev/null >"$art/downgrade.txt" 2>&1 || status=$?
[ $status -ne 0 ] || fail "installing $VELMAR_VERSION over $newer succeeded; a downgrade must be refused"
expect_installed "$newer"
echo "downgrade to $VELMAR_VERSION refused (msiexec status $status)"

msiexec_run /x "$v2_msi"
left=$(products)
[ -z "$left" ] || fail "still registered after the uninstall: $left"
for rel in "${shipped[@]}"; do
  [ ! -e "$installed/$rel" ] || fail "$rel is still installed after the uninstall"
done
[ -f "$user_log" ] || fail "the uninstall removed the user's log $(basename "$user_log")"
echo "uninstalled: no program file left; kept $(cd "$installed" && find . -type f -printf '%P ')"
rm -rf "$installed"

# INSTALLDIR on the command line puts the whole tree elsewhere (the package without stand-ins here);
# the upgrade finds that folder by itself and its uninstall removes the files there.
custom=$WINEPREFIX/drive_c/velmar-custom
rm -rf "$custom"
status=0
wine msiexec /i "$(winpath "$plain_msi")" /qn 'INSTALLDIR=C:\velmar-custom\' </dev/null >"$art/msiexec.txt" 2>&1 ||
  status=$?
[ $status -eq 0 ] || { cat "$art/msiexec.txt" >&2; fail "msiexec /i with INSTALLDIR ended with $status"; }
for rel in velmar-device.exe x86/velmar-device.dll capture/futronic/velmar-capture-a.exe sdk/include/velmar_device.h; do
  [ -f "$custom/$rel" ] || fail "INSTALLDIR=C:\\velmar-custom\\ did not put $rel there"
done
[ ! -e "$installed/velmar-device.exe" ] || fail "INSTALLDIR=C:\\velmar-custom\\ still installed into Program Files"
msiexec_run /i "$v2_msi"
expect_installed_in() {  # expect_installed_in FOLDER: every file of the newer package there
  for rel in "${shipped[@]}"; do
    cmp -s "$dist/$rel" "$1/$rel" || fail "$rel is not installed in $1"
  done
}
expect_installed_in "$custom"
[ ! -e "$installed/velmar-device.exe" ] || fail "the upgrade of the C:\\velmar-custom\\ install went to Program Files"
msiexec_run /x "$v2_msi"
[ -z "$(cd "$custom" 2>/dev/null && find . -type f)" ] || fail "the uninstall left $(cd "$custom" && find . -type f | head -3)"
[ -z "$(products)" ] || fail "still registered after the uninstall: $(products)"
echo "INSTALLDIR=C:\\velmar-custom\\: installed there, upgraded there, removed from there"
