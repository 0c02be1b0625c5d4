#!/usr/bin/env bash
# Creates the project's Wine prefix of this runtime (once) and registers the project's
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
# Wine's default video renderer (its VMR) draws through OpenGL: the picture
# never shows in screenshots of the X display, and every instance keeps about
# 35 MB and 9 handles after its last release, so a process that builds a dozen
# previews runs out of address space ("Failed to create device"). Without
# OpenGL (Direct3D "renderer" = "no3d" or "gdi") it cannot create its device at
# all. So in this prefix COM makes Wine's GDI Video Renderer whenever the
# default renderer is asked for (a TreatAs entry, as CoTreatAsClass writes).
# Product code stays the same; Windows keeps its own default renderer.
renderer_stamp=$stamps/default-renderer-treat-as.stamp
if [ ! -f "$renderer_stamp" ]; then
  if wine reg add 'HKCR\CLSID\{6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50}\TreatAs' /ve /t REG_SZ \
       /d '{70E102B0-5556-11CE-97C0-00AA0055595A}' /f >/dev/null 2>&1; then
    touch "$renderer_stamp"
    registered=1
  else
    echo "setting the default video renderer failed" >&2
    exit 1
  fi
fi
# Orvane's installer leaves its path where Snapory looks for it, so that
# Snapory's Effect and Popup buttons start the program of this build. Written
# every time: a test may have taken the value away.
orvane_exe=$WIN_BUILD/Orvane/Orvane.exe
if [ -f "$orvane_exe" ]; then
  if wine reg add 'HKLM\Software\Talvoro' /v Nerra /t REG_SZ /d "$(winepath -w "$orvane_exe")" /f >/dev/null 2>&1; then
    registered=1
  else
    echo "registering Orvane's path failed" >&2
    exit 1
  fi
fi
# Let the server that regsvr32 started end: a caller starting its own (with
# its display) would otherwise find it still running.
if [ -n "$registered" ]; then wineserver -w; fi
