#!/usr/bin/env bash
# make_tree.sh DEST DEVICE_EXE DEVICE_DLL WSQ_EXE FONDO_BMP CAPTURE_A_STAGE CAPTURE_B_EXE DPFPDD_DLL
# Lays down, in DEST (emptied first), the installed layout the service looks its capture applications
# up in: velmar-device.exe and .dll, wsq.exe and fondo.bmp, capture/futronic/ (velmar-capture-a with
# its stand-in scanner, the 64-bit test build, which runs on every machine) and capture/dpfpdd/
# (velmar-capture-b with its stand-in reader).
set -euo pipefail
[ $# -eq 8 ] || { echo "usage: make_tree.sh DEST DEVICE_EXE DEVICE_DLL WSQ_EXE FONDO_BMP CAPTURE_A_STAGE CAPTURE_B_EXE DPFPDD_DLL" >&2; exit 2; }
dest=$1
rm -rf "$dest"
mkdir -p "$dest/capture/futronic" "$dest/capture/dpfpdd"
cp "$2" "$3" "$4" "$5" "$dest/"
cp "$6"/* "$dest/capture/futronic/"
cp "$7" "$8" "$dest/capture/dpfpdd/"
echo "service tree: $dest"
