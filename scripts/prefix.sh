#!/usr/bin/env bash
# Creates the project's 32-bit Wine prefix (once) and registers the project's
# COM servers that changed since they were last registered.
set -euo pipefail
source "$(dirname "$0")/env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$OUT"
  wineboot -i >/dev/null 2>&1
  # A crash prints a backtrace and ends the process instead of opening a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
fi
stamps=$OUT/registered
mkdir -p "$stamps"
shopt -s nullglob
registered=""
for module in "$WIN_BUILD"/bin/*.ax; do
  stamp=$stamps/$(basename "$module").stamp
  if [ ! -f "$stamp" ] || [ "$module" -nt "$stamp" ]; then
    if wine regsvr32 /s "$(winepath -w "$module")" >/dev/null 2>&1; then
      touch "$stamp"
      registered=1
    else
      echo "registering $(basename "$module") failed" >&2
      exit 1
    fi
  fi
done
# Wine's own AVI Mux refuses every audio input, so recordings with sound need
# ours: take CLSID_AviDest over in this prefix (regsvr32 /u /n /i:... gives it
# back). Product code stays the same on Windows, where the system mux is kept.
mux_module=$WIN_BUILD/bin/SystemFilters.ax
mux_stamp=$stamps/avimux-take-over.stamp
if [ -f "$mux_module" ] && { [ ! -f "$mux_stamp" ] || [ "$mux_module" -nt "$mux_stamp" ]; }; then
  if wine regsvr32 /s /n /i:take-over:avimux "$(winepath -w "$mux_module")" >/dev/null 2>&1; then
    touch "$mux_stamp"
    registered=1
  else
    echo "taking CLSID_AviDest over failed" >&2
    exit 1
  fi
fi
# Let the server that regsvr32 started end: a caller starting its own (with
# its display) would otherwise find it still running.
if [ -n "$registered" ]; then wineserver -w; fi
