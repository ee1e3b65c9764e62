#!/usr/bin/env bash
# Many cameras on one machine: N RTSP cameras on 127.0.0.1, each serving the
# 1080p 25 frames/s bench recording on its own port, and N instances of the
# program on them at real speed, headless, each in a directory of its own,
# for SECONDS (120 by default). Prints per instance the frame rate it kept
# (frames taken between 20 s and 5 s before the end, read from its web
# view's /status.json), its pictures, its CPU and its peak memory, then the
# totals, and stops everything it started.
#
#   bench/many_cameras.sh N [SECONDS] [BUILD_DIR]
#
# TAVO_ARGS replaces the program's extra arguments (default --every-vehicle,
# the mode that must look at every frame). The cameras are
# ../shared/tools/rtsp_server.py (GStreamer's RTSP server; see its header
# for the Debian packages it needs), read over TCP.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
count=${1:?usage: bench/many_cameras.sh N [SECONDS] [BUILD_DIR]}
seconds=${2:-120}
build=$(cd "${3:-$repo/build}" && pwd)
extra=${TAVO_ARGS---every-vehicle}
server=${TAVO_RTSP_SERVER:-$repo/../shared/tools/rtsp_server.py}
measure_from=20
measure_until=$((seconds - 5))
[ "$measure_until" -gt "$measure_from" ] || { echo "SECONDS must be more than 25" >&2; exit 2; }

# The recording outlasts the run, so no camera's stream ends during it.
video=$("$repo/bench/make_bench_video.sh" "$build" 1920x1080 $((seconds + 30)))
cmake --build "$build" --target tavomotion >/dev/null
scratch=$(mktemp -d)
ticks_per_second=$(getconf CLK_TCK)
camera_base=$((20000 + RANDOM % 10000))
web_base=$((camera_base + 10000))

started=()
stop_everything() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap stop_everything EXIT

cpu_ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
frame_number() {
  curl -s --max-time 2 "http://127.0.0.1:$1/status.json" | sed -n 's/^{"frame":\([0-9]*\),.*/\1/p'
}

for ((i = 0; i < count; i++)); do
  /usr/bin/python3 "$server" "$video" $((camera_base + i)) >"$scratch/server$i.out" 2>&1 &
  started+=($!)
done
for ((i = 0; i < count; i++)); do
  for _ in $(seq 50); do grep -q serving "$scratch/server$i.out" && break; sleep 0.2; done
  grep -q serving "$scratch/server$i.out" || { cat "$scratch/server$i.out" >&2; exit 1; }
done

for ((i = 0; i < count; i++)); do
  mkdir "$scratch/camera$i"
  (
    cd "$scratch/camera$i"
    # shellcheck disable=SC2086
    exec /usr/bin/time -o memory.txt -f "%M" "$build/tavomotion" 0 \
      --source "rtsp://127.0.0.1:$((camera_base + i))/cam?tcp" --headless --run-for "$seconds" \
      --listen $((web_base + i)) $extra >stdout.txt 2>stderr.txt
  ) &
  started+=($!)
done
start=$(date +%s.%N)

# The program behind each /usr/bin/time.
programs=()
sleep 2
for ((i = 0; i < count; i++)); do
  programs+=("$(pgrep -n -P "${started[count + i]}" || echo 0)")
done

sample() {  # FRAMES TICKS TIMES arrays, named by prefix $1
  local -n frames=$1_frames ticks=$1_ticks times=$1_times
  for ((i = 0; i < count; i++)); do
    frames[i]=$(frame_number $((web_base + i)))
    ticks[i]=$(cpu_ticks "${programs[i]}")
    times[i]=$(date +%s.%N)
  done
}
sleep_until() { sleep "$(awk -v s="$start" -v t="$1" -v now="$(date +%s.%N)" 'BEGIN { d = s + t - now; print (d > 0 ? d : 0) }')"; }

declare -a first_frames first_ticks first_times last_frames last_ticks last_times
sleep_until "$measure_from"
sample first
server_ticks_before=0
for ((i = 0; i < count; i++)); do server_ticks_before=$((server_ticks_before + $(cpu_ticks "${started[i]}"))); done
sleep_until "$measure_until"
sample last
server_ticks_after=0
for ((i = 0; i < count; i++)); do server_ticks_after=$((server_ticks_after + $(cpu_ticks "${started[i]}"))); done
for ((i = 0; i < count; i++)); do wait "${started[count + i]}" || true; done

echo "$count cameras of $video, $seconds s each, program arguments: $extra"
echo "measured from $measure_from s to $measure_until s; machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
low=0
awk_report() {
  awk -v i="$1" -v f0="$2" -v f1="$3" -v t0="$4" -v t1="$5" -v c0="$6" -v c1="$7" -v hz="$ticks_per_second" \
    -v pictures="$8" -v memory="$9" 'BEGIN {
    fps = (f1 - f0) / (t1 - t0); cpu = 100 * (c1 - c0) / hz / (t1 - t0)
    printf "camera %2d: %5.2f frames/s, %3d pictures, %5.1f %% of a core, %6.1f MiB peak\n", i, fps, pictures, cpu, memory / 1024
    printf "%f %f %f\n", fps, cpu, memory / 1024 > "/dev/stderr"
  }'
}
totals=$scratch/totals.txt
for ((i = 0; i < count; i++)); do
  pictures=$(find "$scratch/camera$i" -name 'tavo_*.bmp' | wc -l)
  memory=$(tail -n 1 "$scratch/camera$i/memory.txt" 2>/dev/null || echo 0)
  if [ -z "${first_frames[i]}" ] || [ -z "${last_frames[i]}" ]; then
    echo "camera $i: no figures from its web view (stderr: $(tail -n 2 "$scratch/camera$i/stderr.txt" | tr '\n' ' '))"
    low=1
    continue
  fi
  awk_report "$i" "${first_frames[i]}" "${last_frames[i]}" "${first_times[i]}" "${last_times[i]}" \
    "${first_ticks[i]}" "${last_ticks[i]}" "$pictures" "$memory" 2>>"$totals"
done
awk -v servers=$((server_ticks_after - server_ticks_before)) -v hz="$ticks_per_second" \
  -v span=$((measure_until - measure_from)) -v n="$count" '
  { fps[NR] = $1; cpu += $2; memory += $3; if (NR == 1 || $1 < lowest) lowest = $1; if ($3 > most) most = $3 }
  END {
    printf "all %d: lowest %.2f frames/s, %.1f %% of a core together (%.1f %% each), %.0f MiB together (at most %.1f MiB one)\n",
      n, lowest, cpu, cpu / NR, memory, most
    printf "the %d RTSP servers: %.1f %% of a core together\n", n, 100 * servers / hz / span
    print (lowest >= 24 && NR == n) ? "every instance kept at least 24 frames/s" : "NOT every instance kept 24 frames/s"
  }' "$totals"
[ "$low" = 0 ]
