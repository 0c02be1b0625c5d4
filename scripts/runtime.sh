# Which Windows runtime this machine gives the project. Source it.
# Some kernels run 64-bit user code only: every i386 program fails there with
# "Exec format error", Wine's 32-bit loader included. We find out by running
# a tiny i386 program rather than by reading versions.
# WEBCAM_WINE_ARCH=win32|win64 forces the answer.

# Writes a minimal static i386 Linux program that exits with status 0
# (ELF header, one loadable segment, then: mov eax,1; xor ebx,ebx; int 0x80).
# machine: the ELF machine byte, 03 for i386 (tests write other values).
write_i386_probe() {  # path [machine]
  local path=$1 machine=${2:-03}
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$path"
  printf "\\x02\\x00\\x$machine\\x00\\x01\\x00\\x00\\x00\\x54\\x80\\x04\\x08" >>"$path"
  printf '\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00' >>"$path"
  printf '\x01\x00\x00\x00\x00\x00\x00\x00' >>"$path"
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$path"
  printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$path"
  printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >>"$path"
  chmod +x "$path"
}

# Prints win32 when the probe program runs, win64 when it cannot.
wine_arch_for_probe() {  # probe
  if "$1" >/dev/null 2>&1; then echo win32; else echo win64; fi
}

# The runtime to use here: the override, else what the i386 probe says.
detect_wine_arch() {
  case ${WEBCAM_WINE_ARCH:-} in
    win32|win64) echo "$WEBCAM_WINE_ARCH"; return ;;
    "") ;;
    *) echo "WEBCAM_WINE_ARCH must be win32 or win64, not '$WEBCAM_WINE_ARCH'" >&2; return 2 ;;
  esac
  local probe
  probe=$(mktemp "${TMPDIR:-/tmp}/i386-probe.XXXXXX")
  write_i386_probe "$probe"
  wine_arch_for_probe "$probe"
  rm -f "$probe"
}

# One line saying which runtime a command uses and why.
describe_wine_arch() {  # arch
  local why="this machine runs 32-bit programs"
  [ "$1" = win64 ] && why="this machine cannot run 32-bit programs"
  [ -n "${WEBCAM_WINE_ARCH:-}" ] && why="forced by WEBCAM_WINE_ARCH"
  if [ "$1" = win64 ]; then
    echo "runtime: 64-bit Wine, x86-64 build (out/win64, out/wineprefix64): $why"
  else
    echo "runtime: 32-bit Wine, i686 build (out/win32, out/wineprefix): $why"
  fi
}

# win32 or win64 by a Windows program's PE machine field; empty when the
# file is not a PE image.
pe_wine_arch() {  # program
  local pe machine
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
  [ -n "$pe" ] || return 0
  [ "$(od -An -c -j"$pe" -N2 "$1" 2>/dev/null | tr -d ' ')" = PE ] || return 0
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
  case $machine in
    014c) echo win32 ;;
    8664) echo win64 ;;
  esac
}
