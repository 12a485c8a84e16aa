#!/usr/bin/env bash
# End-to-end test of the real program: a virtual display with an accessibility
# bus and a window manager, then e2e_quellbid.py (or the driver named by the
# fourth argument, a script beside it) drives build/quellbid.
# usage: e2e_quellbid.sh <quellbid> <source folder> <output folder> [driver [seconds]]
# Exit status 77 (skipped) when the display tools are not installed.
set -u

program=$1
source_dir=$2
out=$3
driver_script=${4:-e2e_quellbid.py}
driver_seconds=${5:-220}
skip=77

for tool in Xvfb xdotool xdpyinfo xprop dbus-launch dbus-send openbox import; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit $skip; }
done
[[ -x /usr/libexec/at-spi-bus-launcher ]] || { echo "SKIP: at-spi2-core is not installed"; exit $skip; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit $skip; }
[[ -x "$program" ]] || { echo "no program at $program"; exit 1; }

rm -rf "$out/work" "$out/shots" "$out/xdg"
mkdir -p "$out/work" "$out/shots"
# The program keeps its data and web profile in XDG folders of the run's own.
export XDG_DATA_HOME=$out/xdg/data XDG_CONFIG_HOME=$out/xdg/config XDG_CACHE_HOME=$out/xdg/cache \
  XDG_STATE_HOME=$out/xdg/state XDG_RUNTIME_DIR=$out/xdg/runtime
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The working folder holds the pages; the sample result page is the start page.
if [[ -d "$source_dir/pages" ]]; then cp -r "$source_dir/pages/." "$out/work/"; fi
cp "$source_dir/tests/app/e2e_results.htm" "$out/work/base.htm"
cp "$source_dir/tests/app/e2e_results2.htm" "$source_dir/tests/app/e2e_results.css" "$source_dir/tests/app/e2e_results.js" "$out/work/"

pids=()
cleanup() {
  local pid
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    # Each helper runs in its own process group: end it with its children.
    kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null
  done
  [[ -n "${DBUS_SESSION_BUS_PID:-}" ]] && kill -TERM "$DBUS_SESSION_BUS_PID" 2>/dev/null
  # Give them a moment to go, then force the rest.
  for _ in $(seq 1 30); do
    local alive=0
    for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    ((alive)) || break
    sleep 0.1
  done
  for pid in "${pids[@]}"; do kill -KILL -- "-$pid" 2>/dev/null; done
  [[ -n "${DBUS_SESSION_BUS_PID:-}" ]] && kill -KILL "$DBUS_SESSION_BUS_PID" 2>/dev/null
}

# A free display number.
display=""
for n in $(seq 91 160); do
  if [[ ! -e "/tmp/.X11-unix/X$n" && ! -e "/tmp/.X$n-lock" ]]; then display=$n; break; fi
done
[[ -n "$display" ]] || { echo "no free display"; exit 1; }
trap cleanup EXIT

setsid Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$out/shots/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=":$display"
ready=0
for _ in $(seq 1 100); do
  if xdpyinfo >/dev/null 2>&1; then ready=1; break; fi
  sleep 0.1
done
((ready)) || { echo "Xvfb did not start on :$display"; cat "$out/shots/xvfb.log"; exit 1; }

eval "$(dbus-launch --sh-syntax)"
export DBUS_SESSION_BUS_ADDRESS
setsid /usr/libexec/at-spi-bus-launcher --launch-immediately >"$out/shots/at-spi.log" 2>&1 &
pids+=($!)
# The program finds the accessibility bus at start-up: it must be up by then.
ready=0
for _ in $(seq 1 100); do
  if dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1; then ready=1; break; fi
  sleep 0.1
done
((ready)) || { echo "the accessibility bus did not start"; exit 1; }
setsid openbox >"$out/shots/openbox.log" 2>&1 &
pids+=($!)
sleep 0.5

export NO_AT_BRIDGE=0
setsid timeout -k 5 "$driver_seconds" /usr/bin/python3 "$source_dir/tests/app/$driver_script" "$program" \
  "$out/work" "$out/shots" &
driver=$!
pids+=($driver)
wait $driver
status=$?
echo "screenshots and logs: $out/shots"
exit $status
