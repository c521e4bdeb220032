#!/usr/bin/env bash
# Starts the program in a virtual X server and saves a screenshot of its window.
# Usage: scripts/screenshot.sh PROGRAM OUTPUT.png [seconds]
set -euo pipefail
program=$1
output=$2
wait=${3:-2}
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 800x1400x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$program" &
app=$!
sleep "$wait"
DISPLAY=$display import -window root -crop "${CROP:-400x700+0+0}" "$output"
kill $app 2>/dev/null || true
