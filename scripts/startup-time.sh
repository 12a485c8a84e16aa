#!/usr/bin/env bash
# Time from process start to the splash window being mapped, under Xvfb.
# Usage: startup-time.sh [build-dir] [runs]
# Fails when a run shows no splash within QB_STARTUP_TIMEOUT_MS (default 20000).
# QB_STARTUP_DISPLAY picks the Xvfb display (default: a free-looking one).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "start-up: Xvfb/xdotool missing, skipped"; exit 0; }
timeout_ms=${QB_STARTUP_TIMEOUT_MS:-20000}
work=$(mktemp -d)
display=${QB_STARTUP_DISPLAY:-:$((90 + RANDOM % 100))}
Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
cp -r pages/. "$work/"
sleep 1
times=()
for ((i = 0; i < runs; ++i)); do
  start=$(date +%s%N)
  (cd "$work" && DISPLAY=$display exec "$build/quellbid" >/dev/null 2>&1) &
  pid=$!
  failure=
  until DISPLAY=$display xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
    sleep 0.005
    if ! kill -0 "$pid" 2>/dev/null; then
      failure="quellbid exited before its splash appeared"
    elif (($(date +%s%N) - start > timeout_ms * 1000000)); then
      failure="no splash within $((timeout_ms / 1000)) s"
    fi
    [[ -z $failure ]] || break
  done
  end=$(date +%s%N)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if [[ -n $failure ]]; then
    echo "start-up: run $((i + 1)) of $runs failed: $failure" >&2
    exit 1
  fi
  times+=($(((end - start) / 1000000)))
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
echo "start-up to splash on screen (ms, $runs runs, sorted): $sorted"
