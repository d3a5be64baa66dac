#!/usr/bin/env bash
# Installs what is missing, builds the Release demo and runs it from
# build/bin (the demo reads Data/ from and writes vexlar.log to its working
# folder). Extra arguments go to the demo, e.g. --windowed or --size 800x600.
#
# On a machine without a display the demo cannot be watched: it is rendered
# instead into out/vexlar.mp4 (pictures and music; ffmpeg is installed for
# it), and the script says where the file is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

headless=0
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then headless=1; fi

if [[ $headless == 1 ]]; then
  VEXLAR_WITH_FFMPEG=1 bash scripts/setup.sh
else
  bash scripts/setup.sh
fi
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release
cd build/bin

if [[ $headless == 1 ]]; then
  video="$root/out/vexlar.mp4"
  mkdir -p "$root/out"
  echo "run-demo: no display found (DISPLAY and WAYLAND_DISPLAY unset); rendering the demo to $video"
  status=0
  ./vexlar --video "$video" "$@" || status=$?
  if [[ $status == 0 ]]; then
    echo "run-demo: the demo (pictures and music) is in $video"
  else
    echo "run-demo: the demo could not be rendered (exit status $status)" >&2
  fi
  echo "run-demo: log written to $PWD/vexlar.log"
  exit "$status"
fi
exec ./vexlar "$@"
