#!/usr/bin/env bash
# The web view's page in a real browser (headless Chromium): the live frame
# region of its screenshot must match the window's own snapshot, and the
# page must list the pictures of the save directory.
#
#   tests/browser/page_in_browser.sh PROGRAM [SCREENSHOT.png]
#
# Exit 77 (skipped) when Chromium is missing. With SCREENSHOT.png, the page's
# screenshot is kept there (README's picture is taken this way).
set -euo pipefail
program=$1
keep=${2:-}
browser=/usr/bin/chromium
if [ ! -x "$browser" ]; then
  echo "skipped: $browser is missing (Debian package chromium)"
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

# Real pictures first: two minutes of the road scene, replayed fast.
"$program" 0 --source synthetic:7 --fast --headless --run-for 120 >/dev/null
pictures=$(ls tavo_*.bmp | wc -l)

# Then the empty road at real speed, so the live frame holds still.
"$program" 0 --source synthetic:7:empty --headless --run-for 20 --snapshot window.png --listen 0 \
  >console.txt 2>error.txt &
served=$!
until grep -q "web view on" error.txt; do
  kill -0 "$served" 2>/dev/null || { echo "the program did not listen: $(cat error.txt)"; exit 1; }
  sleep 0.2
done
url=$(grep -o 'http://[^ ]*/' error.txt)
sleep 8 # the capture device's start-up pause, then a few frames

chrome() { timeout 60 "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars "$@" 2>/dev/null; }
chrome --window-size=1000,1100 --force-device-scale-factor=1 --screenshot="$scratch/page.png" "$url" >/dev/null
chrome --virtual-time-budget=3000 --dump-dom "$url" >page.html
wait "$served"
served=

# The live image sits at (9, 9) (8 px of margin, 1 px of border); the frame
# at (10, 10) of the window.
convert page.png -crop 320x240+19+19 +repage live_page.png
convert window.png -crop 320x240+10+10 +repage live_window.png
difference=$( (compare -metric RMSE live_page.png live_window.png null: 2>&1 || true) | sed 's/.*(\(.*\))/\1/')
echo "live frame: RMSE $difference of full scale between the page and the window"
failed=0
if ! awk -v d="$difference" 'BEGIN { exit !(d < 0.04) }'; then
  echo "the page's live frame differs from the window's"
  failed=1
fi
shown=$(grep -o '<figure><a href="/pictures/tavo_[0-9]*\.bmp">' page.html | wc -l)
echo "pictures: $pictures saved, $shown shown"
if [ "$pictures" -lt 1 ] || [ "$shown" -ne "$((pictures < 12 ? pictures : 12))" ]; then
  echo "the page does not show the newest pictures"
  failed=1
fi
[ -z "$keep" ] || cp page.png "$keep"
exit "$failed"
