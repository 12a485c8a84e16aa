#!/usr/bin/env bash
# Time from process start to the splash window being mapped, under Xvfb.
# Usage: startup-time.sh [build-dir] [runs]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "start-up: Xvfb/xdotool missing, skipped"; exit 0; }
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
work=$(mktemp -d)
cp -r pages/. "$work/"
times=()
for ((i = 0; i < runs; ++i)); do
  start=$(date +%s%N)
  (cd "$work" && DISPLAY=$display exec "$build/quellbid" >/dev/null 2>&1) &
  pid=$!
  until DISPLAY=$display xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
    sleep 0.005
    (($(date +%s%N) - start > 20000000000)) && break
  done
  end=$(date +%s%N)
  times+=($(((end - start) / 1000000)))
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
done
rm -rf "$work"
sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
echo "start-up to splash on screen (ms, $runs runs, sorted): $sorted"
