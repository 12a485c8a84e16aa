#!/usr/bin/env bash
# Starts build/quellbid in build/run/, a working folder holding the pages.
set -euo pipefail
build=${1:-build}
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display found: run 'make run' from a desktop session, or under a virtual one: xvfb-run -a make run" >&2
  exit 1
fi
mkdir -p "$build/run"
cp -r pages/. "$build/run/"
cd "$build/run"
exec ../quellbid
