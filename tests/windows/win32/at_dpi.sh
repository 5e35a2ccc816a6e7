#!/usr/bin/env bash
# Runs a Windows program with the Wine prefix's screen at DPI dots per inch,
# and puts the prefix back at its default afterwards.
#   at_dpi.sh DPI WINE PROGRAM [ARGUMENT...]
set -euo pipefail
dpi=$1 wine=$2
shift 2
key='HKCU\Control Panel\Desktop'
restore() { "$wine" reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true; }
trap restore EXIT
"$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
"$wine" "$@"
