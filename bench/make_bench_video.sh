#!/usr/bin/env bash
# Makes (once) a benchmark recording: 25 frames/s H.264, looped and scaled
# from a traffic clip; 640 x 480 and 3 minutes by default, or the size given
# (1920x1080, say: then 1 minute, enough for the measurements and quicker to
# make), or as many seconds as given. Prints its path.
#
#   bench/make_bench_video.sh BUILD_DIR [WIDTHxHEIGHT [SECONDS]]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
size=${2:-640x480}
data=${TAVO_DATA_DIR:-$repo/../shared/data}
seconds=180
[ "$size" = 640x480 ] || seconds=60
seconds=${3:-$seconds}
video=$build/bench-media/road_${size}_25fps_${seconds}s.mp4

if [ ! -s "$video" ]; then
  mkdir -p "$(dirname "$video")"
  echo "making $video" >&2
  ffmpeg -hide_banner -loglevel error -y -stream_loop -1 -i "$data/traffic/road_topdown_20s.mp4" -t "$seconds" \
    -vf "scale=${size/x/:},fps=25" -c:v libx264 -preset fast -pix_fmt yuv420p -an "$video.part.mp4"
  mv "$video.part.mp4" "$video"
fi
echo "$video"
