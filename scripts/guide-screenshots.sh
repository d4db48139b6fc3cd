#!/usr/bin/env bash
# Makes the pictures of the user guide's print preview chapter
# (docs/guide/images) from the real windows: starts ledora on a folder of
# sample data, opens the windows from the keyboard as a user does and
# photographs each. Runs on its own Xvfb with openbox when no display is set.
#   scripts/guide-screenshots.sh [PROGRAM]     (default build/release/ledora)
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/release/ledora}")
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" scripts/with-window-manager.sh "$0" "$program"
fi
for tool in xdotool import; do
  command -v "$tool" >/dev/null || { echo "guide-screenshots: $tool is missing" >&2; exit 1; }
done
images=docs/guide/images
data=$(mktemp -d)
"$program" --data "$data" --demo &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$data"' EXIT

# The first visible window of the program with exactly this title.
window() {
  local id=""
  for _ in $(seq 150); do
    id=$(xdotool search --all --onlyvisible --pid "$pid" --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  echo "guide-screenshots: no window \"$1\"" >&2
  return 1
}
keys() { sleep 0.5; xdotool key "$@"; sleep 0.5; }
shoot() { sleep 1; import -window "$1" "$images/$2"; echo "$images/$2"; }

frame=$(window "Quorval Report Designer - Vennic demo program")
sleep 7  # the splash goes by itself
xdotool windowactivate --sync "$frame"
keys alt+r Down Down Down Return # Reports, Invoice List (several pages)
preview=$(window "Report Preview")
shoot "$preview" preview.png
keys alt+v c # View, Change Display
display=$(window "Change the Report Display")
shoot "$display" preview-display.png
keys Escape
keys Escape
xdotool windowactivate --sync "$frame"
keys alt+f x
wait "$pid" || true
