#!/usr/bin/env bash
# What the web view costs at real speed (bench/real_speed_cpu.sh's figures):
# the program without --listen, with --listen and no client, and with one
# client watching the stream all along.
#
#   bench/web_view_cpu.sh [BUILD_DIR] [VIDEO] [SECONDS]
#
# The goals: no measurable cost without a client, at most 1 % of a core more
# with one client watching.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build}
video=${2:-}
seconds=${3:-60}
port=$((20000 + RANDOM % 20000))

measure() { "$repo/bench/real_speed_cpu.sh" "$build" "$video" "$seconds" | grep -E '^(whole run|steady state)'; }

echo "without --listen:"
TAVO_ARGS= measure
echo "with --listen $port, no client:"
TAVO_ARGS="--listen $port" measure
echo "with --listen $port, one client watching /stream.mjpg:"
(
  # From the first answer to the end of the run (curl is not counted).
  until curl -sf -o /dev/null "http://127.0.0.1:$port/status.json"; do sleep 0.2; done
  curl -s "http://127.0.0.1:$port/stream.mjpg" >/dev/null || true
) &
client=$!
TAVO_ARGS="--listen $port" measure
kill "$client" 2>/dev/null || true
wait "$client" 2>/dev/null || true
