# Common environment for the project's scripts. Source it; it sets ROOT, OUT,
# WINE_ARCH and the build tree and Wine prefix of that runtime:
#   win32: the i686 build out/win32 in the 32-bit prefix out/wineprefix
#   win64: the x86-64 build out/win64 in the 64-bit prefix out/wineprefix64,
#          on machines that cannot run 32-bit programs (see runtime.sh)
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUT=${WEBCAM_OUT:-$ROOT/out}
source "$ROOT/scripts/runtime.sh"
WINE_ARCH=${WINE_ARCH:-$(detect_wine_arch)}
export WINEDEBUG=${WINEDEBUG:--all}
# Never offer to download Mono or Gecko.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
HOST_BUILD=$OUT/host
WIN32_BUILD=$OUT/win32
WIN64_BUILD=$OUT/win64
if [ "$WINE_ARCH" = win64 ]; then
  export WINEPREFIX=$OUT/wineprefix64
  export WINEARCH=win64
  WIN_BUILD=$WIN64_BUILD
  # Debian's wine, wineboot, regsvr32... take the 32-bit loader whenever it is
  # installed, whatever the program's width; these shims name the 64-bit one.
  export WINELOADER=/usr/lib/wine/wine64
  export WINESERVER=/usr/lib/wine/wineserver64
  shims=$OUT/wine64-bin
  if [ ! -x "$shims/wine" ]; then
    mkdir -p "$shims"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/wine"
    printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' >"$shims/wineserver"
    for tool in wineboot winepath regsvr32 winedbg winecfg; do
      printf '#!/bin/sh\nexec /usr/lib/wine/wine64 %s.exe "$@"\n' "$tool" >"$shims/$tool"
    done
    chmod +x "$shims"/*
  fi
  case ":$PATH:" in *":$shims:"*) ;; *) export PATH=$shims:$PATH ;; esac
else
  export WINEPREFIX=$OUT/wineprefix
  export WINEARCH=win32
  WIN_BUILD=$WIN32_BUILD
fi
export WINE_ARCH
