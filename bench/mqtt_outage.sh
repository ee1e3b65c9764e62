#!/usr/bin/env bash
# The broker stopped for OUTAGE seconds (30 by default) in the middle of a
# run, and started again: whether every record of the run still reaches a
# subscriber, in order, and whether the watching went on as without MQTT.
#
#   bench/mqtt_outage.sh [BUILD_DIR] [OUTAGE_SECONDS] [SCENE_SECONDS]
#
# Two runs of the built-in scene replayed fast (--run-for SCENE_SECONDS, 3000
# by default: long enough to outlast the outage): one without MQTT, one with
# --mqtt to a local mosquitto that is stopped 10 s after the start and
# started again OUTAGE seconds later. The subscriber keeps its session
# (QoS 1, mosquitto saving sessions), so what the broker took while it was
# away reaches it too. Compared: the console text (after its first line,
# the command line), the pictures, and the picture log's lines against the
# `vehicle` messages.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
outage=${2:-30}
scene=${3:-3000}
before_stop=10
# shellcheck source=bench/local_mosquitto.sh
source "$repo/bench/local_mosquitto.sh"
cmake --build "$build" --target tavomotion >/dev/null

scratch_with_broker
mkdir "$scratch/plain" "$scratch/mqtt" "$scratch/broker"
scene_args=(0 --source synthetic:7 --fast --headless --run-for "$scene" --picture-log)

plain_start=$(date +%s.%N)
(cd "$scratch/plain" && "$build/tavomotion" "${scene_args[@]}" >stdout.txt 2>stderr.txt)
plain_end=$(date +%s.%N)

broker_prepare "$scratch/broker"
broker_start
mosquitto_sub -h 127.0.0.1 -p "$broker_port" -q 1 -c -i tavo-outage-listener \
  -t tavomotion/bench/vehicle -F '%U %p' >"$scratch/messages.txt" 2>"$scratch/listener.txt" &
listener=$!
sleep 1

cd "$scratch/mqtt"
start=$(date +%s.%N)
"$build/tavomotion" "${scene_args[@]}" --mqtt "mqtt://127.0.0.1:$broker_port" --camera-name bench \
  >stdout.txt 2>stderr.txt &
program=$!
sleep "$before_stop"
broker_stop
stopped=$(date +%s.%N)
sleep "$outage"
broker_start
restarted=$(date +%s.%N)
wait "$program"
ended=$(date +%s.%N)
sleep 2
kill "$listener"
wait "$listener" 2>/dev/null || true
listener=

echo "scene: synthetic:7, --fast --run-for $scene; broker stopped $(awk -v a="$start" -v b="$stopped" \
  'BEGIN { printf "%.1f", b - a }') s after the start for $(awk -v a="$stopped" -v b="$restarted" \
  'BEGIN { printf "%.1f", b - a }') s; the run ended $(awk -v a="$restarted" -v b="$ended" \
  'BEGIN { printf "%.1f", b - a }') s after the restart"
awk -v a="$plain_start" -v b="$plain_end" -v c="$start" -v d="$ended" \
  'BEGIN { printf "run time: %.1f s without MQTT, %.1f s with the outage\n", b - a, d - c }'
if cmp -s <(tail -n +2 "$scratch/plain/stdout.txt") <(tail -n +2 stdout.txt); then
  echo "console text: the same as without MQTT ($(wc -l <stdout.txt) lines)"
else
  echo "console text: DIFFERENT from without MQTT"
fi
# The pictures and images a run leaves, with their checksums.
saved() { (cd "$1" && cksum tavo_*.bmp ./*.pgm | sort -k3); }
if cmp -s <(saved "$scratch/plain") <(saved .); then
  echo "pictures and images: the same as without MQTT ($(ls tavo_*.bmp | wc -l) pictures)"
else
  echo "pictures and images: DIFFERENT from without MQTT"
fi
echo "the program's MQTT lines on standard error:"
grep 'MQTT' stderr.txt | sed 's/^/  /'
python3 - tavomotion-pictures.csv "$scratch/messages.txt" "$restarted" <<'PY'
import csv, json, sys
with open(sys.argv[1], newline="") as log:
    lines = list(csv.DictReader(log))
logged = [int(line["number"]) for line in lines]
stamped = [text.split(" ", 1) for text in open(sys.argv[2]) if text.strip()]
sent = [json.loads(payload)["number"] for _, payload in stamped]
after = [float(stamp) - float(sys.argv[3]) for stamp, _ in stamped if float(stamp) > float(sys.argv[3])]
if after:
    print(f"first record after the restart: {after[0]:.1f} s after the broker was back")
distinct = list(dict.fromkeys(sent))
lost = [n for n in logged if n not in set(sent)]
print(f"records: {len(logged)} in the picture log, {len(sent)} vehicle messages received, "
      f"{len(sent) - len(distinct)} of them twice (QoS 1 after the restart), {len(lost)} lost"
      + (f" ({lost[:10]}...)" if lost else ""))
print("order: " + ("the log's" if distinct == logged else "NOT the log's"))
PY
