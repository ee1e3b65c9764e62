#!/usr/bin/env bash
# Makes (once) the benchmark recording: 640 x 480, 25 frames/s, 3 minutes of
# H.264, looped and scaled from a traffic clip. Prints its path.
#
#   bench/make_bench_video.sh BUILD_DIR
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
data=${TAVO_DATA_DIR:-$repo/../shared/data}
video=$build/bench-media/road_640x480_25fps_180s.mp4

if [ ! -s "$video" ]; then
  mkdir -p "$(dirname "$video")"
  echo "making $video" >&2
  ffmpeg -hide_banner -loglevel error -y -stream_loop -1 -i "$data/traffic/road_topdown_20s.mp4" -t 180 \
    -vf scale=640:480,fps=25 -c:v libx264 -preset fast -pix_fmt yuv420p -an "$video.part.mp4"
  mv "$video.part.mp4" "$video"
fi
echo "$video"
