#!/usr/bin/env bash
# Makes the pictures of the designer's chapter of the user guide from the
# real windows: the designer with a layout open and the properties box
# beside it, the box alone, and each toolbar button. Runs the built program
# on a demo data folder of its own, on a screen of 1280x1024 (its own Xvfb
# with openbox when there is no display), and drives it with xdotool.
#
#   scripts/designer-screenshots.sh [BUILD_DIR]     (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" scripts/with-window-manager.sh "$0" "$@"
fi
program=$build/ledora
[ -x "$program" ] || { echo "designer-screenshots: build $program first" >&2; exit 1; }
out=docs/guide/images
mkdir -p "$out/icons"
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

at() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.8}"; }
drag() {
  xdotool mousemove "$1" "$2" mousedown 1
  sleep 0.3
  for step in 1 2 3 4 5; do
    xdotool mousemove $(($1 + ($3 - $1) * step / 5)) $(($2 + ($4 - $2) * step / 5))
    sleep 0.12
  done
  xdotool mouseup 1
  sleep 1.2
}
window() {
  for _ in $(seq 100); do
    found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$found" ] && { echo "$found"; return; }
    sleep 0.2
  done
  echo "designer-screenshots: no window \"$1\"" >&2
  exit 1
}
shot() { import -window root "$work/screen.png"; }
crop() { convert "$work/screen.png" -crop "$1" +repage "$2"; }

mkdir "$work/data"
"$program" --data "$work/data" --demo >/dev/null 2>&1 &
pid=$!
frame=$(window "Quorval Report Designer - Vennic demo program")
xdotool windowmove --sync "$frame" 0 0 windowsize --sync "$frame" 1270 1000
sleep 1
xdotool key Escape  # the splash
sleep 1

# The designer, a new layout for Items with its detail band. The toolbar's
# buttons stand every 33 pixels from x 24, at y 120.
button() { echo $((24 + $1 * 33)); }
xdotool mousemove --window "$frame" 249 8 click 1 && sleep 0.6
xdotool mousemove --window "$frame" 273 29 click 1 && sleep 2
at "$(button 2)" 120 1.5  # New layout
at 529 463                # Items
at 548 572 1.5            # Select
at "$(button 17)" 120 1.5 # New band
at 542 455                # Item
at 615 563 1.5            # OK
at "$(button 11)" 120 2   # Properties toolbox
box=$(window "Controls and fields")
eval "$(xdotool getwindowgeometry --shell "$box")"
bx=$X
by=$Y

# Two fields dragged from the box, a text in bold, right-justified.
drag $((bx + 40)) $((by + 133)) 140 272
drag $((bx + 40)) $((by + 149)) 400 272
at $((bx + 155)) $((by + 69))  # the string tool
at 560 272
at $((bx + 71)) $((by + 91))
xdotool key ctrl+a
xdotool type --delay 60 "Stock list"
xdotool key Return
sleep 0.8
at $((bx + 60)) $((by + 48))  # Bold
at $((bx + 47)) $((by + 69))  # right
# Ctrl+click tags the item number, so the align buttons show as they work.
xdotool mousemove 420 272 keydown ctrl click 1 keyup ctrl
sleep 0.8
xdotool mousemove 700 600
sleep 0.5
shot
crop 1140x770+0+55 "$out/designer-window.png"
crop "${WIDTH}x${HEIGHT}+$bx+$by" "$out/designer-properties-box.png"

names=(save open new exit align-left align-right align-top align-bottom same-size same-height
  same-width toolbox help save-as form-view band-view band-delete band-new control-properties
  report-properties band-properties control-delete control-new)
icon() { crop "30x30+$(($(button "$1") - 15))+105" "$out/icons/${names[$1]}.png"; }
for index in "${!names[@]}"; do icon "$index"; done
# The band's own buttons work while a band is selected: a click on its name.
at 880 266
xdotool mousemove 700 600
sleep 0.5
shot
for index in 16 20; do icon "$index"; done
echo "designer-screenshots: pictures in $out"
