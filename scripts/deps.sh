#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Which Wine it installs follows the machine's runtime (see runtime.sh): where
# 32-bit programs cannot run, no i386 package is installed at all.
set -euo pipefail
source "$(dirname "$0")/env.sh"
packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools xvfb xauth x11-utils
          ffmpeg cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev libyuv-dev
          xdotool imagemagick ccache clang libclang-rt-14-dev fonts-wqy-zenhei python3
          zlib1g-dev libz-mingw-w64-dev locales
          nsis)  # makensis builds Setup.exe / Setup64.exe
if [ "$WINE_ARCH" = win32 ]; then
  # wine64 too: a 64-bit (WoW64) prefix runs 32- and 64-bit programs side by side.
  packages+=(wine wine32:i386 wine64
             libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386  # Wine's VMR-9 renders through OpenGL
             gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386)  # Wine's splitters and decoders
else
  packages+=(wine wine64 libgl1 libgl1-mesa-dri libglx-mesa0
             gstreamer1.0-plugins-base gstreamer1.0-plugins-good)
fi
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

# The Chinese texts are checked under Wine with the GBK ANSI code page, which
# Wine takes from the zh_CN.GBK locale; a fresh machine has none. Made once.
ensure_gbk_locale() {
  locale -a 2>/dev/null | grep -qix 'zh_CN\.gbk' && return 0
  echo "creating the zh_CN.GBK locale" >&2
  grep -qx 'zh_CN.GBK GBK' /etc/locale.gen 2>/dev/null ||
    echo 'zh_CN.GBK GBK' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
}

# dpkg-query fails for names dpkg has never seen (every i386 package before
# the architecture is added): what it did print is still the answer.
installed=$({ dpkg-query -W -f='${binary:Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true; } |
            awk '/ install ok installed$/ { print $1 }')
native=$(dpkg --print-architecture)
missing=()
for p in "${packages[@]}"; do
  # Native packages are listed without an architecture suffix.
  case $'\n'$installed$'\n' in *$'\n'"$p"$'\n'*|*$'\n'"$p:$native"$'\n'*) ;; *) missing+=("$p") ;; esac
done
if [ ${#missing[@]} -eq 0 ]; then ensure_gbk_locale; exit 0; fi
echo "installing: ${missing[*]}" >&2
if [ "$WINE_ARCH" = win32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# A mirror mid-sync serves an index that does not match its release file for
# a while: try again, then go on with the indexes that did download.
for attempt in 1 2 3; do
  if $sudo apt-get update -qq >"$log" 2>&1; then break; fi
  if [ $attempt -eq 3 ]; then
    echo "some package indexes did not download; going on without them:" >&2
    python3 "$ROOT/scripts/apt_plan.py" failed-indexes <"$log" | sed 's/^/  /' >&2 || cat "$log" >&2
  else
    sleep $((attempt * 10))
  fi
done

# -q, not -qq: -qq drops the unmet-dependency listing the rounds below read.
install() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
    --allow-downgrades "$@" >"$log" 2>&1
}
pins=()
for round in 1 2 3 4; do
  if install "${missing[@]}" "${pins[@]}"; then ensure_gbk_locale; exit 0; fi
  # Multiarch needs a library's amd64 and i386 copies at one version; when an
  # index of one architecture lags (security suite half-synced), install both
  # at a version that both offer, for this install only.
  mapfile -t twins < <(python3 "$ROOT/scripts/apt_plan.py" twins <"$log")
  # Libraries apt holds back are twins too when a copy of either
  # architecture is installed (at a version the other index may lack).
  while read -r name; do
    [ -n "$name" ] || continue
    # dpkg-query fails for the copy that is not installed: only grep decides.
    if { dpkg-query -W -f='${Status}\n' "$name:$native" "$name:i386" 2>/dev/null || true; } |
         grep -q ' installed$' &&
       [[ " ${twins[*]} " != *" $name "* ]]; then
      twins+=("$name")
    fi
  done < <(python3 "$ROOT/scripts/apt_plan.py" held-back <"$log")
  [ ${#twins[@]} -gt 0 ] || break
  query=()
  for t in "${twins[@]}"; do query+=("$t:amd64" "$t:i386"); done
  read -r -a more < <(apt-cache policy "${query[@]}" | python3 "$ROOT/scripts/apt_plan.py" pins "${twins[@]}")
  [ ${#more[@]} -gt 0 ] || break
  echo "matching multiarch versions: ${more[*]}" >&2
  pins+=("${more[@]}")
done
cat "$log" >&2
echo "installing the packages failed" >&2
exit 1
