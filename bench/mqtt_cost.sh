#!/usr/bin/env bash
# What MQTT costs at real speed: bench/real_speed_cpu.sh without and with
# --mqtt to a local mosquitto (a subscriber on everything, so the broker
# really delivers), PAIRS times in turn, and the differences of the steady
# states. The goal: at most +0.3 % of one core.
#
#   bench/mqtt_cost.sh [BUILD_DIR] [PAIRS] [SECONDS]
#
# TAVO_ARGS, when set, is added to both runs of each pair (e.g. --every-vehicle).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
pairs=${2:-3}
seconds=${3:-60}
# shellcheck source=bench/local_mosquitto.sh
source "$repo/bench/local_mosquitto.sh"

scratch_with_broker
broker_prepare "$scratch"
broker_start
mosquitto_sub -h 127.0.0.1 -p "$broker_port" -t 'tavomotion/#' -v >"$scratch/received.txt" 2>/dev/null &
listener=$!
video=$("$repo/bench/make_bench_video.sh" "$build")

steady() { TAVO_ARGS="${TAVO_ARGS:-} $1" "$repo/bench/real_speed_cpu.sh" "$build" "$video" "$seconds" |
  awk '/^steady state/ { sub(/.*: /, ""); print $1 }'; }

echo "video: $video, $seconds s a run, real clock, headless; steady state, % of one core"
for pair in $(seq "$pairs"); do
  without=$(steady "")
  with=$(steady "--mqtt mqtt://127.0.0.1:$broker_port --camera-name bench --mqtt-discovery")
  echo "pair $pair: without $without, with $with: $(awk -v a="$without" -v b="$with" 'BEGIN { printf "%+.2f", b - a }')"
  echo "$without $with" >>"$scratch/pairs.txt"
done
awk '{ a += $1; b += $2; n++ } END {
  printf "mean: without %.2f, with %.2f: %+.2f %% of one core\n", a / n, b / n, (b - a) / n }' "$scratch/pairs.txt"
received() { grep -a -c "^tavomotion/bench/$1 " "$scratch/received.txt" || true; }
echo "received in all: $(received vehicle) vehicle, $(received picture) picture, $(received status) status messages"
