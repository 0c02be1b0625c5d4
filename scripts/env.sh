# Common environment for the project's scripts. Source it; it sets ROOT, OUT
# and the Wine variables for the project-local 32-bit prefix.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUT=${WEBCAM_OUT:-$ROOT/out}
export WINEPREFIX=$OUT/wineprefix
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# Never offer to download Mono or Gecko.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
HOST_BUILD=$OUT/host
WIN_BUILD=$OUT/win32
