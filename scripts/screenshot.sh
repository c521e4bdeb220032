#!/usr/bin/env bash
# Starts the program in a virtual X server and saves a screenshot of its window once the window is
# on screen, after SECONDS more (default 0.3, for the first paint).
# Usage: scripts/screenshot.sh PROGRAM OUTPUT.png [SECONDS]
# Needs xvfb, x11-utils, xdotool and imagemagick (scripts/setup.sh: TOURWISE_DESKTOP_TEST_PACKAGES).
set -euo pipefail
program=$1
output=$2
settle=${3:-0.3}
work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb writes the display it chose to the descriptor once it accepts clients.
Xvfb -displayfd 3 -screen 0 800x1400x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
until [ -s "$work/display" ]; do
    kill -0 "${pids[0]}" 2>/dev/null || { echo "screenshot.sh: Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done
export DISPLAY=":$(head -n 1 "$work/display")"
"$program" &
pids+=($!)
timeout 30 xdotool search --sync --onlyvisible --pid "${pids[1]}" >/dev/null || {
    echo "screenshot.sh: no window of $program within 30 s" >&2
    exit 1
}
sleep "$settle"
import -window root -crop "${CROP:-400x700+0+0}" "$output"
