#!/usr/bin/env bash
# keep_free_space.sh [BINARY] -- a long replay of the built-in scene with
# --full-size --picture-log --keep-free 16M on a 64 MiB tmpfs (in a private
# mount namespace: root, or unprivileged user namespaces), and what it left:
#  - every save succeeded (no "unable to save", no "not written");
#  - the least free space seen (sampled every 20 ms; it may dip below 16 MiB
#    only by the picture being written);
#  - the pictures left are the newest, numbers without a gap up to the last;
#  - only pictures were removed, oldest first, and the file of another
#    program placed there first is untouched.
# SECONDS_OF_SCENE (6 hours by default) sets the length of the scene.
set -euo pipefail
bin=$(realpath "${1:-build/tavomotion}")
scene=${SECONDS_OF_SCENE:-21600}
work=${WORK_DIR:-/tmp/keep_free_space}
rm -rf "$work"
mkdir -p "$work/pictures"
echo "IMAGES_SAVE_DIRECTORY pictures" > "$work/tavomotion.ini"
unshare_args=(--mount)
[ "$(id -u)" -eq 0 ] || unshare_args+=(--map-root-user)

cd "$work"
# shellcheck disable=SC2016
unshare "${unshare_args[@]}" sh -c '
    set -e
    mount -t tmpfs -o size=64m tavo-keep-free pictures
    head -c 1000000 /dev/urandom > pictures/other-program.dat
    cp pictures/other-program.dat other-program.dat
    "$0" 0 --source synthetic:7 --fast --headless --run-for "$1" --full-size --picture-log \
        --keep-free 16M > console.txt 2> stderr.txt &
    program=$!
    while kill -0 $program 2>/dev/null; do
        stat -f -c "%a %S" pictures >> free.txt
        sleep 0.02
    done
    wait $program
    echo "exit status $?" > status.txt
    ls pictures > left.txt
    cmp pictures/other-program.dat other-program.dat && echo untouched > other.txt
    cp pictures/tavomotion-pictures.csv* .
' "$bin" "$scene"

saves=$(grep -c "^saving grabbed file" console.txt)
unsaved=$(grep -c "^unable to save" console.txt || true)
unwritten=$(grep -c "not written" stderr.txt || true)
removed=$(grep -c "^removed " stderr.txt || true)
least=$(awk '{ b = $1 * $2; if (min == "" || b < min) min = b } END { printf "%.2f", min / 1048576 }' free.txt)
bmps=$(grep -c '^tavo_[0-9]*\.bmp$' left.txt)
first=$(grep '^tavo_[0-9]*\.bmp$' left.txt | sed 's/tavo_\([0-9]*\)\.bmp/\1/' | sort -n | head -1)
last=$(grep '^tavo_[0-9]*\.bmp$' left.txt | sed 's/tavo_\([0-9]*\)\.bmp/\1/' | sort -n | tail -1)
order=$(sed -n 's/^removed pictures\/tavo_\([0-9]*\)\.bmp.*/\1/p' stderr.txt |
    awk 'BEGIN { ok = "oldest first" } $1 != NR - 1 { ok = "NOT oldest first" } END { print ok }')
echo "$(cat status.txt); $saves saves, $unsaved unable to save, $unwritten not written"
echo "least free space seen: $least MiB"
echo "$removed pictures removed, $order; $bmps left: tavo_$first to tavo_$last" \
    "($([ $((last - first + 1)) -eq "$bmps" ] && echo "no gap" || echo "GAPS"), last saved $((saves - 1)))"
echo "other program's file: $(cat other.txt 2>/dev/null || echo CHANGED)"
echo "files left besides the pictures: $(grep -v '^tavo_[0-9]*\.\(bmp\|jpg\)$' left.txt | tr '\n' ' ')"
