#!/usr/bin/env bash
# Share of one CPU core the program uses replaying a 25 frames/s 640 x 480
# recording at real speed (no --fast), headless, for SECONDS of clock time
# (60 by default). The goal: under 5 %, decoding included.
#
#   bench/real_speed_cpu.sh [BUILD_DIR] [VIDEO] [SECONDS]
#
# TAVO_ARGS, when set, adds program arguments (e.g. --every-vehicle).
# Two figures: over the whole run (CPU time of the child over its wall time;
# the start-up pause of 5 s, idle, is in it), and in the steady state, from
# /proc/PID/stat between 10 s after the start and the end of the run.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
seconds=${3:-60}
steady_from=10

if [ -n "${2:-}" ]; then
  video=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
else
  video=$("$repo/bench/make_bench_video.sh" "$build")
fi
cmake --build "$build" --target tavomotion >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ticks_per_second=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks.
cpu_ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

cd "$scratch"
(
  TIMEFORMAT='%R %U %S'
  # shellcheck disable=SC2086
  time "$build/tavomotion" 0 --source "$video" --headless --run-for "$seconds" ${TAVO_ARGS:-} >/dev/null 2>stderr.txt
) 2>times.txt &
wrapper=$!
sleep 1
program=$(pgrep -n -P "$wrapper")
sleep $((steady_from - 1))
start_ticks=$(cpu_ticks "$program")
start_time=$(date +%s.%N)
last_ticks=$start_ticks
while [ -r "/proc/$program/stat" ]; do
  last_ticks=$(cpu_ticks "$program" 2>/dev/null || echo "$last_ticks")
  last_time=$(date +%s.%N)
  sleep 0.2
done
wait

read -r wall user system <times.txt
echo "video: $video, --run-for $seconds, real clock, headless"
awk -v w="$wall" -v u="$user" -v s="$system" 'BEGIN {
  printf "whole run: %.2f s wall, %.3f s CPU: %.2f %% of one core\n", w, u + s, 100 * (u + s) / w
}'
awk -v t0="$start_ticks" -v t1="$last_ticks" -v s0="$start_time" -v s1="$last_time" -v hz="$ticks_per_second" \
  -v from="$steady_from" 'BEGIN {
  printf "steady state (from %d s to the end): %.2f %% of one core\n", from, 100 * (t1 - t0) / hz / (s1 - s0)
}'
