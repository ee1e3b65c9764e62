#!/usr/bin/env bash
# Wall time of the whole program replaying a recording with --fast, against
# decoding the same file alone with the same FFmpeg libraries and one decoder
# thread (bench/decode_alone). The goal: the program within 1.15 x decoding.
#
#   bench/whole_program_vs_decode.sh [BUILD_DIR] [VIDEO]
#
# Without VIDEO it makes (once) a 640 x 480, 25 frames/s, 3-minute H.264 file
# from a traffic clip. Each command runs RUNS times (3 by default); the best
# wall time counts, as the least disturbed by other load on the machine. The
# CPU time (user + system) is shown beside it.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
runs=${RUNS:-3}

if [ -n "${2:-}" ]; then
  video=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
else
  video=$("$repo/bench/make_bench_video.sh" "$build")
fi
cmake --build "$build" --target tavomotion decode_alone >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Prints "WALL CPU" in seconds for one run of the command.
timed() {
  local TIMEFORMAT='%R %U %S'
  local times
  times=$( { time "$@" >/dev/null 2>"$scratch/stderr"; } 2>&1 ) || {
    cat "$scratch/stderr" >&2
    return 1
  }
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<<"$times"
}

# Prints the best wall time and the CPU time of that run.
best_of_runs() {
  local run
  for ((run = 0; run < runs; ++run)); do timed "$@"; done | sort -n | head -1
}

whole_program() {
  rm -rf "$scratch/run" && mkdir "$scratch/run"
  (cd "$scratch/run" && "$build/tavomotion" 0 --source "$video" --fast --headless)
}

read -r decode_wall decode_cpu < <(best_of_runs "$build/bench/decode_alone" "$video")
read -r convert_wall convert_cpu < <(best_of_runs "$build/bench/decode_alone" "$video" --convert 320x240)
read -r program_wall program_cpu < <(best_of_runs whole_program)

echo "video: $video"
echo "best of $runs runs     wall s   cpu s"
printf 'decoding alone        %7.3f %7.3f\n' "$decode_wall" "$decode_cpu"
printf 'decoding + converting %7.3f %7.3f   (every frame to 320 x 240, as the program converts each delivered frame)\n' \
  "$convert_wall" "$convert_cpu"
printf 'whole program         %7.3f %7.3f\n' "$program_wall" "$program_cpu"
awk -v p="$program_wall" -v d="$decode_wall" -v pc="$program_cpu" -v dc="$decode_cpu" 'BEGIN {
  printf "ratio program / decoding alone: wall %.2f, cpu %.2f (goal: wall <= 1.15)\n", p / d, pc / dc
}'
