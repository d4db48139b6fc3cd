#!/usr/bin/env bash
# Runs a command on the X display in DISPLAY with a window manager (openbox)
# beside it, as users always have one: focus and activation of the program's
# windows differ without one. The window manager ends with the command.
set -euo pipefail
if ! command -v openbox >/dev/null; then
  echo "with-window-manager: openbox is missing (scripts/install-deps.sh)" >&2
  exit 1
fi
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null || true' EXIT
# Windows mapped before the window manager runs would go unmanaged.
for _ in $(seq 100); do
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then break; fi
  sleep 0.1
done
"$@"
