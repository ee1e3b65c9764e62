#!/usr/bin/env bash
# The web view's page in a real browser (headless Chromium), at 1280 x 800
# and on a phone (390 x 844): the live frame region of the wide screenshot
# must match the window's own snapshot, the figures and the newest pictures
# must sit beside it, nothing may run past the screen's right edge at either
# size, and the page must list the save directory's pictures with their
# places in the recording, 50 to a page.
#
#   tests/browser/page_in_browser.sh PROGRAM [SCREENSHOT.png]
#
# Exit 77 (skipped) when Chromium is missing, except in CI
# (TAVO_REQUIRE_SHARED_DATA=1), where that fails. With SCREENSHOT.png, the
# wide screenshot is kept there and the phone's beside it as
# SCREENSHOT-phone.png (README's pictures are taken this way).
set -euo pipefail
program=$1
keep=${2:-}
browser=/usr/bin/chromium
if [ ! -x "$browser" ]; then
  echo "$browser is missing (Debian package chromium)"
  [ "${TAVO_REQUIRE_SHARED_DATA:-}" = 1 ] && exit 1
  exit 77
fi

scratch=$(mktemp -d)
served=
cleanup() {
  [ -n "$served" ] && kill "$served" 2>/dev/null && wait "$served" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
cd "$scratch"

# Real pictures first, with their log: ten minutes of the road scene, replayed fast.
"$program" 0 --source synthetic:7 --fast --headless --run-for 600 --picture-log >/dev/null
pictures=$(ls tavo_*.bmp | wc -l)

# Then the empty road at real speed, so the live frame holds still.
: >error.txt
"$program" 0 --source synthetic:7:empty --headless --run-for 20 --snapshot window.png --listen 0 \
  --camera-name gate-north >console.txt 2>error.txt &
served=$!
until grep -q "web view on" error.txt; do
  kill -0 "$served" 2>/dev/null || { echo "the program did not listen: $(cat error.txt)"; exit 1; }
  sleep 0.2
done
url=$(grep -o 'http://[^ ]*/' error.txt)
sleep 8 # the capture device's start-up pause, then a few frames

chrome() { timeout 60 "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars \
  --force-device-scale-factor=1 "$@" 2>/dev/null; }
chrome --window-size=1280,800 --screenshot="$scratch/wide.png" "$url" >/dev/null
chrome --window-size=390,844 --screenshot="$scratch/phone.png" "$url" >/dev/null
chrome --virtual-time-budget=3000 --dump-dom "$url" >page.html
wait "$served"
served=

failed=0
fail() { echo "$1"; failed=1; }

# The live image sits at (9, 9) (8 px of margin, 1 px of border); the frame
# at (10, 10) of the window.
convert wide.png -crop 320x240+19+19 +repage live_page.png
convert window.png -crop 320x240+10+10 +repage live_window.png
difference=$( (compare -metric RMSE live_page.png live_window.png null: 2>&1 || true) | sed 's/.*(\(.*\))/\1/')
echo "live frame: RMSE $difference of full scale between the page and the window"
awk -v d="$difference" 'BEGIN { exit !(d < 0.04) }' || fail "the page's live frame differs from the window's"

# Share of the area that is not the page's background.
drawn() { convert "$1" -crop "$2" +repage -fill black -fuzz 1% +opaque '#f4f4f4' -fill white -opaque '#f4f4f4' \
  -negate -format '%[fx:mean]' info:; }
for shot in wide.png:1280x800 phone.png:390x844; do
  file=${shot%%:*}
  size=$(identify -format '%wx%h' "$file")
  edge=$(drawn "$file" "4x${size#*x}+$((${size%x*} - 4))+0")
  echo "$file: $size, drawn in its right-hand 4 px: $edge"
  [ "$size" = "${shot#*:}" ] || fail "$file is not the window's size"
  awk -v e="$edge" 'BEGIN { exit !(e == 0) }' || fail "$file: something runs past the right edge"
done
# On the wide screen the figures and the newest pictures fill the right of the live frame.
beside=$(drawn wide.png 560x780+700+10)
echo "wide.png: drawn right of the live frame: $beside"
awk -v b="$beside" 'BEGIN { exit !(b > 0.02) }' || fail "nothing beside the live frame at 1280 x 800"
# On the phone the live frame is shrunk to the screen: its box's border at
# 8 px from either edge.
for x in 8 381; do
  colour=$(convert phone.png -format "%[hex:p{$x,60}]" info:)
  echo "phone.png: live frame's box at ($x, 60): #$colour"
  [ "$colour" = 888888 ] || fail "the live frame's box does not end at 8 px from the phone's edges"
done

grep -q '<h1 id="name">gate-north</h1>' page.html || fail "the camera's name is not shown"
grep -q '<span id="health" class="">delivering</span>' page.html || fail "the camera's health is not shown"
recent=$(grep -o '<td><a href="/pictures/tavo_[0-9]*\.bmp">tavo_[0-9]*</a></td><td>[0-9]*:[0-5][0-9]\.[0-9]</td>' \
  page.html | wc -l)
shown=$(grep -o '<figure><a href="/pictures/tavo_[0-9]*\.bmp">' page.html | wc -l)
echo "pictures: $pictures saved, $recent newest listed with their places, $shown on the first page"
[ "$pictures" -gt 50 ] || fail "the scene gave too few pictures for two pages"
[ "$recent" -eq 8 ] || fail "the newest pictures are not listed with their places in the recording"
[ "$shown" -eq 50 ] || fail "the first page does not show 50 pictures"
grep -q "(1 to 50 of $pictures, newest first)" page.html || fail "the page's range is not said"
if [ -n "$keep" ]; then
  cp wide.png "$keep"
  cp phone.png "${keep%.png}-phone.png"
fi
exit "$failed"
