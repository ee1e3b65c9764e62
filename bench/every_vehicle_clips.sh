#!/usr/bin/env bash
# Runs the default mode, cars-only, the every-vehicle mode and every-vehicle
# cars-only on the 320 x 240 sequences of the real traffic clips, and prints
# the scorer's figures for each. A measurement, not a test.
#
#   bench/every_vehicle_clips.sh [SEQUENCES_DIR] [PROGRAM]
#
# SEQUENCES_DIR holds the sequences made by ../shared/tools/traffic_sequences.py
# (made there when missing; vtest only when the script can fetch it).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
shared=$here/../shared
sequences=${1:-/tmp/tavo-sequences}
program=${2:-$here/build/tavomotion}
clips=(street_oblique_75s freeway_overpass_33s parkway_oncoming_28s road_topdown_20s)
[ -d "$sequences/${clips[0]}" ] || /usr/bin/python3 "$shared/tools/traffic_sequences.py" "$sequences" >&2

run() {  # run CLIP MODE -> pictures directory
    local clip=$1 mode=$2 out
    out=$(mktemp -d)
    mkdir "$out/pictures"
    {
        echo "IMAGES_SAVE_DIRECTORY pictures"
        case $mode in *cars*) echo "DETECT_CARS_ONLY" ;; esac
        case $mode in every*) echo "EVERY_VEHICLE" ;; esac
    } > "$out/tavomotion.ini"
    local meta=$sequences/$clip/meta.json rate
    rate=$(/usr/bin/python3 -c "import json,sys; m=json.load(open(sys.argv[1])); print('%d/%d' % (m['fps_num'], m['fps_den']))" "$meta")
    (cd "$out" && "$program" 0 --source "$sequences/$clip/frames/%05d.bmp" --fps "$rate" --fast --headless \
        > console.txt 2> stderr.txt)
    echo "$out"
}

for mode in default cars every every-cars; do
    echo "== $mode"
    for clip in "${clips[@]}"; do
        out=$(run "$clip" "$mode")
        /usr/bin/python3 "$shared/tools/score_pictures.py" "$sequences/$clip" "$out/pictures"
        # Dark vehicles are the ones cars-only must picture.
        /usr/bin/python3 "$shared/tools/score_pictures.py" "$sequences/$clip" "$out/pictures" --json |
            /usr/bin/python3 -c 'import json, sys
r = json.load(sys.stdin)
truth = json.load(open(sys.argv[1]))["vehicles"][r["clip"]]
dark = [v["id"] for v in truth if v["tone"] == "dark" and v["t_out"] >= 5]
missed = {m["id"] for m in r["missed"]}
print("  dark vehicles pictured: %d of %d" % (len([d for d in dark if d not in missed]), len(dark)))' \
                "$shared/data/traffic/window_truth.json"
        rm -rf "$out"
    done
    if [ -d "$sequences/vtest" ]; then
        out=$(run vtest "$mode")
        echo "vtest (people, no vehicles): $(ls "$out/pictures" | wc -l) pictures"
        rm -rf "$out"
    fi
done
