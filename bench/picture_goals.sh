#!/usr/bin/env bash
# picture_goals.sh [BINARY] -- measures the goals of the picture log, the
# full-size pictures, the picture command and the filter graph:
#  1. ten minutes of the built-in scene with --picture-log --full-size: one
#     log line per picture, times increasing, positions on the scene's frame
#     times, every tavo_N.jpg 640 x 480 and, scaled to 320 x 240, within 3 grey
#     levels of tavo_N.bmp on average;
#  2. a recording replayed with --fast: the frame found by seeking the
#     recording to each logged position is the pictured one (mean absolute
#     difference against it, and against the frames either side);
#  3. --on-picture with a program that sleeps 10 s: console and pictures the
#     same as without, no zombie while it runs, nothing from the child on
#     standard output;
#  4. the video run with the transform and crop its sequence was made with:
#     the pictures against the sequence's frames at the same times;
#  5. the cost of --full-size per picture (CPU of the run with and without).
# Needs ImageMagick (convert, compare) and ffmpeg.
set -euo pipefail
bin=$(realpath "${1:-build/tavomotion}")
work=${WORK_DIR:-/tmp/picture_goals}
video=${VIDEO:-/work/shared/data/traffic/road_topdown_20s.mp4}
sequence=${SEQUENCE:-/work/seq/road_topdown_20s}
graph='transpose=cclock_flip,crop=300:225:60:200:exact=1'
rm -rf "$work"
mkdir -p "$work"

# Mean absolute difference of two pictures in grey levels (0..255).
mad() {
    convert "$1" -colorspace gray "$work/a.png"
    convert "$2" -colorspace gray "$work/b.png"
    # compare's status says whether the pictures differ; its figure is what counts.
    { compare -metric MAE "$work/a.png" "$work/b.png" null: 2>&1 || true; } | sed 's/.*(\(.*\))/\1/' |
        awk '{printf "%.2f", $1 * 255}'
}

field() { awk -F, -v n="$2" -v c="$3" 'NR > 1 && $1 == n { print $c }' "$1"; }

run_synthetic() {  # DIR ARGS...
    local dir=$1
    shift
    mkdir -p "$dir/pics"
    printf 'IMAGES_SAVE_DIRECTORY pics\n' >"$dir/tavomotion.ini"
    (cd "$dir" && /usr/bin/time -f '%U %S %e' -o cpu.txt "$bin" 0 --source synthetic:7 --fast --headless \
        --run-for 600 "$@" >console.txt 2>stderr.txt)
}

echo "== 1. ten minutes of the built-in scene, --picture-log --full-size"
run_synthetic "$work/plain"
run_synthetic "$work/full" --picture-log --full-size
log="$work/full/pics/tavomotion-pictures.csv"
pictures=$(ls "$work/full/pics" | grep -c '^tavo_[0-9]*\.bmp$')
lines=$(($(wc -l <"$log") - 1))
echo "pictures $pictures, log lines $lines"
awk -F, 'NR > 2 && $3 <= previous { bad++ } NR > 1 { previous = $3 } END { print "times not increasing:", bad + 0 }' "$log"
awk -F, 'NR > 1 { frame = $4 * 25; off = frame - int(frame + 0.5); if (off < 0) off = -off;
                  if (off > 0.03 || $4 + 0 < previous) bad++; previous = $4 + 0 }
         END { print "positions off the 25 frames/s times or going back:", bad + 0 }' "$log"
worst=0
sizes=$(for jpg in "$work"/full/pics/tavo_*.jpg; do identify -format '%wx%h\n' "$jpg"; done | sort | uniq -c)
echo "jpeg sizes: $sizes"
for jpg in "$work"/full/pics/tavo_*.jpg; do
    convert "$jpg" -filter box -resize '320x240!' "$work/scaled.png"
    d=$(mad "$work/scaled.png" "${jpg%.jpg}.bmp")
    worst=$(awk -v a="$d" -v b="$worst" 'BEGIN { print (a > b) ? a : b }')
done
echo "jpeg against bmp, worst mean absolute difference: $worst grey levels"

echo "== 2. $video replayed --fast, seeking to the logged positions"
mkdir -p "$work/seek/pics"
printf 'IMAGES_SAVE_DIRECTORY pics\n' >"$work/seek/tavomotion.ini"
(cd "$work/seek" && "$bin" 0 --source "$video" --fast --headless --picture-log >console.txt 2>stderr.txt)
seeklog="$work/seek/pics/tavomotion-pictures.csv"
for n in $(awk -F, 'NR > 1 { print $1 }' "$seeklog"); do
    position=$(field "$seeklog" "$n" 4)
    line="picture $n at $position s:"
    for offset in -0.042 0 0.042; do
        at=$(awk -v p="$position" -v o="$offset" 'BEGIN { printf "%.3f", (p + o < 0) ? 0 : p + o }')
        ffmpeg -v error -y -ss "$at" -i "$video" -frames:v 1 \
            -vf 'scale=320:240:flags=area+accurate_rnd+bitexact' "$work/seek.png"
        line="$line $(mad "$work/seek/pics/tavo_$n.bmp" "$work/seek.png")"
    done
    echo "$line  (frame before, seeked, frame after)"
done

echo "== 3. --on-picture with a program that sleeps 10 s"
cat >"$work/sleeper" <<'EOF'
#!/bin/sh
echo "child output for $1"
sleep 10
EOF
chmod +x "$work/sleeper"
mkdir -p "$work/command/pics"
printf 'IMAGES_SAVE_DIRECTORY pics\n' >"$work/command/tavomotion.ini"
(cd "$work/command" && "$bin" 0 --source synthetic:7 --fast --headless --run-for 600 \
    --on-picture "$work/sleeper" >console.txt 2>stderr.txt) &
runner=$!
zombies=0
while kill -0 "$runner" 2>/dev/null; do
    program=$(pgrep -P "$runner" -x tavomotion || true)
    if [ -n "$program" ]; then
        zombies=$((zombies + $(ps -o stat= --ppid "$program" | grep -c '^Z' || true)))
    fi
    sleep 0.05
done
wait "$runner"
# The first line echoes the command line, which differs by the option.
cmp -s <(tail -n +2 "$work/plain/console.txt") <(tail -n +2 "$work/command/console.txt") &&
    echo "console: same as without (after the echoed command line)" || echo "console: DIFFERENT"
diff -rq "$work/plain/pics" "$work/command/pics" >/dev/null && echo "pictures: same as without" ||
    echo "pictures: DIFFERENT"
echo "zombies seen while running (sampled every 50 ms): $zombies"
echo "child lines on standard output: $(grep -c 'child output' "$work/command/console.txt" || true)," \
    "on standard error: $(grep -c 'child output' "$work/command/stderr.txt" || true)"
grep -v 'child output' "$work/command/stderr.txt" | tail -3

echo "== 4. $video with --filter '$graph' against $sequence"
mkdir -p "$work/filter/pics"
printf 'IMAGES_SAVE_DIRECTORY pics\n' >"$work/filter/tavomotion.ini"
(cd "$work/filter" && "$bin" 0 --source "$video" --fast --headless --picture-log --filter "$graph" \
    >console.txt 2>stderr.txt)
filterlog="$work/filter/pics/tavomotion-pictures.csv"
rate=$(python3 -c "import json; m = json.load(open('$sequence/meta.json')); print(m['fps_num'] / m['fps_den'])")
for n in $(awk -F, 'NR > 1 { print $1 }' "$filterlog"); do
    position=$(field "$filterlog" "$n" 4)
    frame=$(awk -v p="$position" -v r="$rate" 'BEGIN { printf "%05d", int(p * r + 0.5) }')
    echo "picture $n at $position s, sequence frame $frame: $(mad "$work/filter/pics/tavo_$n.bmp" \
        "$sequence/frames/$frame.bmp") grey levels"
done

echo "== 5. cost of --full-size"
for what in plain full; do
    read -r user system wall <"$work/$what/cpu.txt"
    echo "$what: CPU $(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }') s, wall $wall s"
done | tee "$work/costs.txt"
awk -v n="$pictures" '{ gsub("s,", ""); cpu[NR] = $3; wall[NR] = $5 }
    END { printf "per picture: %.1f ms CPU, %.1f ms wall (%d pictures)\n",
          (cpu[2] - cpu[1]) * 1000 / n, (wall[2] - wall[1]) * 1000 / n, n }' "$work/costs.txt"
