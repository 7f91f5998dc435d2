#!/usr/bin/env bash
# The staged release tree: every program and library has the bitness it ships with (`file`), and a
# version resource (read back with GetFileVersionInfo) carrying the product name, the company and the
# one product version of the build; the stand-in libraries say in their description that they are
# stand-ins, and nothing else does.
#
# usage: release_binaries.sh DIST VERSION_INFO_EXE PRODUCT_ENV
set -euo pipefail
dist=$1 version_info=$2
source "$3"  # VELMAR_VERSION, VELMAR_PRODUCT_NAME, VELMAR_COMPANY
source "$(dirname "$0")/../e2e/e2e_lib.sh"

# What ships 32-bit: the capture application for the vendor's 32-bit libraries, and the host for
# 32-bit callers. Everything else is 64-bit.
declare -A want=(
  [velmar-device.exe]=x86-64 [wsq.exe]=x86-64
  [capture/dpfpdd/velmar-capture-b.exe]=x86-64 [capture/dpfpdd/dpfpdd.dll]=x86-64
  [capture/futronic/velmar-capture-a.exe]=i386 [capture/futronic/ftrScanAPI.dll]=i386
  [capture/futronic/ftrMathAPI.dll]=i386 [capture/futronic/ftrAnsiSdk.dll]=i386
  [x86/velmar-device.exe]=i386
)
stand_ins=" capture/futronic/ftrScanAPI.dll capture/futronic/ftrMathAPI.dll capture/futronic/ftrAnsiSdk.dll capture/dpfpdd/dpfpdd.dll "
for rel in "${!want[@]}"; do
  [ -f "$dist/$rel" ] || fail "$rel is not in the staged tree"
done

cd "$dist"
mapfile -t binaries < <(find . -type f \( -iname '*.exe' -o -iname '*.dll' \) -printf '%P\n' | sort)
[ ${#binaries[@]} -gt 0 ] || fail "no programs in $dist"
four=$VELMAR_VERSION
while [ "$(tr -cd . <<<"$four" | wc -c)" -lt 3 ]; do four=$four.0; done

for rel in "${binaries[@]}"; do
  kind=$(file -b "$rel")
  # Files other builds add: 32-bit where they sit beside 32-bit programs, else 64-bit.
  expected=${want[$rel]:-}
  if [ -z "$expected" ]; then
    case $rel in capture/futronic/*|x86/*) expected=i386 ;; *) expected=x86-64 ;; esac
  fi
  case $expected in
    i386) [[ $kind == PE32\ * && $kind == *"Intel 80386"* ]] || fail "$rel should be 32-bit: $kind" ;;
    x86-64) [[ $kind == PE32+* && $kind == *x86-64* ]] || fail "$rel should be 64-bit: $kind" ;;
  esac
  echo "$rel: $kind"
done

lines=$(wine "$version_info" "${binaries[@]}" </dev/null | tr -d '\r') || {
  echo "$lines" >&2
  fail "a shipped binary has no version resource"
}
while IFS='|' read -r rel fixed_file fixed_product file_version product_version product company description; do
  [ "$fixed_file" = "$four" ] && [ "$fixed_product" = "$four" ] ||
    fail "$rel: binary version $fixed_file / $fixed_product, want $four"
  [ "$file_version" = "$VELMAR_VERSION" ] && [ "$product_version" = "$VELMAR_VERSION" ] ||
    fail "$rel: FileVersion $file_version, ProductVersion $product_version, want $VELMAR_VERSION"
  [ "$product" = "$VELMAR_PRODUCT_NAME" ] || fail "$rel: ProductName '$product', want '$VELMAR_PRODUCT_NAME'"
  [ "$company" = "$VELMAR_COMPANY" ] || fail "$rel: CompanyName '$company', want '$VELMAR_COMPANY'"
  [ -n "$description" ] && [ "$description" != "?" ] || fail "$rel: no FileDescription"
  if [[ $stand_ins == *" $rel "* ]]; then
    [[ $description == *"(stand-in"* ]] || fail "$rel: a stand-in whose description does not say so: '$description'"
  else
    [[ $description != *stand-in* ]] || fail "$rel: not a stand-in but described as one: '$description'"
  fi
  echo "$rel: $file_version, '$description'"
done <<<"$lines"
[ "$(wc -l <<<"$lines")" -eq ${#binaries[@]} ] || fail "version resources of ${#binaries[@]} files expected"
echo "release_binaries: ${#binaries[@]} binaries, version $VELMAR_VERSION"
