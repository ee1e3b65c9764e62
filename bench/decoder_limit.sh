#!/usr/bin/env bash
# The program against FFmpeg's own decoding of the same recording, on the
# 640 x 480 and the 1920 x 1080 recordings of bench/make_bench_video.sh:
# - fast replay, headless: wall time against `ffmpeg -v error -i FILE -f null -`
#   (its default threads); goal at most 1.15 x. Best of RUNS (3) runs each,
#   the two commands taking turns, as the least disturbed by other load;
# - peak resident memory of the program in those runs; goals 64 MiB (640 x 480)
#   and 128 MiB (1080p);
# - CPU at real speed, 60 s, headless (bench/real_speed_cpu.sh, steady state)
#   against decoding alone: the CPU time of `ffmpeg -threads 1` over the whole
#   recording, spread over its duration; goal at most 1.5 x.
#
#   bench/decoder_limit.sh [BUILD_DIR]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
runs=${RUNS:-3}
cmake --build "$build" --target tavomotion >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Prints "WALL CPU PEAK_KIB" for one run of the command.
measured() {
  /usr/bin/time -o "$scratch/time" -f '%e %U %S %M' "$@" >/dev/null 2>"$scratch/stderr" || {
    cat "$scratch/stderr" >&2
    return 1
  }
  awk '{ printf "%.3f %.3f %d\n", $1, $2 + $3, $4 }' "$scratch/time"
}

program_fast() {
  rm -rf "$scratch/run" && mkdir "$scratch/run"
  (cd "$scratch/run" && measured "$build/tavomotion" 0 --source "$1" --fast --headless)
}

duration_of() {
  ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"
}

for size in 640x480 1920x1080; do
  video=$("$repo/bench/make_bench_video.sh" "$build" "$size")
  : >"$scratch/ffmpeg" && : >"$scratch/program"
  for ((run = 0; run < runs; ++run)); do
    measured ffmpeg -nostdin -v error -i "$video" -f null - >>"$scratch/ffmpeg"
    program_fast "$video" >>"$scratch/program"
  done
  read -r ffmpeg_wall _ _ < <(sort -n "$scratch/ffmpeg" | head -1)
  read -r program_wall program_cpu _ < <(sort -n "$scratch/program" | head -1)
  peak=$(sort -k3 -n "$scratch/program" | tail -1 | awk '{ print $3 }')
  read -r _ decode_cpu _ < <(measured ffmpeg -nostdin -v error -threads 1 -i "$video" -f null -)
  duration=$(duration_of "$video")
  real_speed=$("$repo/bench/real_speed_cpu.sh" "$build" "$video" 60 | awk '/steady state/ { print $(NF - 4) }')

  echo "video: $video ($size, ${duration} s)"
  awk -v fw="$ffmpeg_wall" -v pw="$program_wall" -v pc="$program_cpu" -v peak="$peak" -v dc="$decode_cpu" \
    -v d="$duration" -v rs="$real_speed" -v runs="$runs" 'BEGIN {
    printf "  fast replay, best of %d: program %.2f s (%.2f s CPU), ffmpeg %.2f s: %.2f x\n", runs, pw, pc, fw, pw / fw
    printf "  peak resident memory: %.1f MiB\n", peak / 1024
    printf "  real speed: program %.2f %% of a core, decoding alone %.2f %%: %.2f x\n", rs, 100 * dc / d, rs / (100 * dc / d)
  }'
done
