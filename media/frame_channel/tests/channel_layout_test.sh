#!/usr/bin/env bash
# The frame channel's layout as each compiler of the project lays it out:
# the host's, the 32-bit and the 64-bit Windows cross compilers compile the
# same checks (channel_layout_check.cpp); any field that moves fails here.
set -uo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
status=0
for cxx in g++ i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix; do
  if "$cxx" -std=c++17 -fsyntax-only -I"$root" "$root/media/frame_channel/tests/channel_layout_check.cpp"; then
    echo "$cxx: every field at its offset and size"
  else
    echo "$cxx: the channel layout differs" >&2
    status=1
  fi
done
exit $status
