#!/usr/bin/env bash
# F7 in the real program, again and again: each run starts the program right
# after the previous one has ended, loads a sample page as the start page,
# presses F7 and times the key to the snapshot file and to the rows or the
# message. Runs with the accessibility bus on and without it, and prints a
# summary per mode.
#
# usage: scripts/f7-loop.sh [program] [runs]      (defaults: build/quellbid 30)
#   QB_F7_MODES  "bus nobus" (default), or one of them
#   QB_F7_PAGE   the start page, from pages/ (default sample-cards-2026.htm)
#   QB_F7_BUSY   1: both cores kept busy during the runs
#   QB_F7_FRESH  1: a new display, session bus and accessibility bus for every
#                run (each program the first on its bus), not one per mode
#   QB_F7_STALL  what is stopped (SIGSTOP) from just before the key to the end
#                of the run: "registry" (with the bus: the accessibility
#                registry, a bus that never answers) or "renderer" (the
#                program's web engine processes, an engine that never answers)
#   QB_F7_OUT    output folder (default build/f7-loop): per-run logs, XDG folders
# With the bus, a screen reader's view is used too: before F7 the page is
# looked for in the accessible tree (as tests/app/e2e_quellbid.py does), after
# it the grid's rows are counted there.
# A run is silent when neither a snapshot nor a message came within 30 s of
# the key; then a second F7 is pressed after 15 s, as a user would, and the
# program's threads are written to the run's folder before it is ended.
set -u
cd "$(dirname "$0")/.."
source_dir=$PWD
program=$(realpath "${1:-build/quellbid}")
runs=${2:-30}
modes=${QB_F7_MODES:-bus nobus}
page=${QB_F7_PAGE:-sample-cards-2026.htm}
out=$(realpath -m "${QB_F7_OUT:-build/f7-loop}")

for tool in Xvfb xdotool xdpyinfo dbus-launch dbus-send openbox; do
  command -v "$tool" >/dev/null || { echo "f7-loop: $tool is not installed" >&2; exit 1; }
done
[[ -x "$program" ]] || { echo "f7-loop: no program at $program" >&2; exit 1; }
[[ -f "pages/$page" ]] || { echo "f7-loop: no page pages/$page" >&2; exit 1; }

now() { date +%s%3N; }

# The screen reader's side: "page PID" waits for the loaded page in the
# accessible tree, "rows PID" prints the grid's row count.
reader=$out/reader.py
mkdir -p "$out"
cat >"$reader" <<'READER'
import sys, time
import pyatspi

def walk(acc, depth=0):
    if acc is None or depth > 40:
        return
    yield acc
    for i in range(min(acc.childCount, 2000)):
        try:
            yield from walk(acc.getChildAtIndex(i), depth + 1)
        except Exception:
            continue

def find(pid, test):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is None or app.get_process_id() != pid:
                continue
            for acc in walk(app):
                try:
                    if test(acc):
                        return acc
                except Exception:
                    continue
        except Exception:
            continue
    return None

what, pid = sys.argv[1], int(sys.argv[2])
end = time.monotonic() + 30
while time.monotonic() < end:
    if what == "page":
        if find(pid, lambda a: a.getRoleName() == "document web" and a.name.endswith("| Gavelton")):
            sys.exit(0)
    else:
        table = find(pid, lambda a: a.getRoleName() == "table" and a.name == "Research grid")
        if table is not None:
            print(table.queryTable().nRows)
            sys.exit(0)
    time.sleep(0.25)
sys.exit(1)
READER

pids=()
end_group() {  # ends a helper started with setsid, with its children
  kill -TERM -- "-$1" 2>/dev/null || kill -TERM "$1" 2>/dev/null
  for _ in $(seq 1 30); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  kill -KILL -- "-$1" 2>/dev/null || kill -KILL "$1" 2>/dev/null
}
end_session() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do end_group "${pids[i]}"; done
  pids=()
  if [[ -n "${DBUS_SESSION_BUS_PID:-}" ]]; then
    kill -TERM "$DBUS_SESSION_BUS_PID" 2>/dev/null
    unset DBUS_SESSION_BUS_PID DBUS_SESSION_BUS_ADDRESS
  fi
}
busy=()
cleanup() {
  end_session
  for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null; done
}
trap cleanup EXIT

# A display, a session bus, the accessibility bus when asked, a window manager.
start_session() {
  local mode=$1 n display="" log=$out/$1
  for n in $(seq 161 230); do
    if [[ ! -e "/tmp/.X11-unix/X$n" && ! -e "/tmp/.X$n-lock" ]]; then display=$n; break; fi
  done
  [[ -n "$display" ]] || { echo "f7-loop: no free display" >&2; exit 1; }
  setsid Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$log/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY=":$display"
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  eval "$(dbus-launch --sh-syntax)"
  export DBUS_SESSION_BUS_ADDRESS
  if [[ $mode == bus ]]; then
    setsid /usr/libexec/at-spi-bus-launcher --launch-immediately >"$log/at-spi.log" 2>&1 &
    pids+=($!)
    atspi_session=$!
    for _ in $(seq 1 100); do
      dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1 && break
      sleep 0.1
    done
  fi
  setsid openbox >"$log/openbox.log" 2>&1 &
  pids+=($!)
  sleep 0.5
}

# Waits until the command succeeds, at most $1 seconds.
wait_until() {
  local end=$(($(now) + $1 * 1000))
  shift
  until "$@"; do
    (($(now) > end)) && return 1
    sleep 0.05
  done
}

window_of() {  # the program's visible window with that exact title
  xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | tail -1
}

# One run: its figures go to $run/result as
# "outcome key_to_snapshot key_to_end key_to_program focus".
run_once() {
  local mode=$1 run=$2 pid splash main t0 ts="" te="" outcome="silent" pressed_again=0
  rm -rf "$run"
  mkdir -p "$run/work" "$run/xdg/data" "$run/xdg/config" "$run/xdg/cache" "$run/xdg/state" "$run/xdg/runtime"
  chmod 700 "$run/xdg/runtime"
  cp -r pages/. "$run/work/"
  cp "pages/$page" "$run/work/base.htm"
  (
    cd "$run/work" || exit 1
    export XDG_DATA_HOME=$run/xdg/data XDG_CONFIG_HOME=$run/xdg/config XDG_CACHE_HOME=$run/xdg/cache \
      XDG_STATE_HOME=$run/xdg/state XDG_RUNTIME_DIR=$run/xdg/runtime QT_LOGGING_RULES="quellbid.f7.debug=true"
    if [[ $mode == bus ]]; then
      export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
    else
      export NO_AT_BRIDGE=1
      unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON
    fi
    exec setsid "$program"
  ) >"$run/program.log" 2>&1 &
  pid=$!
  local log=$run/program.log
  if ! wait_until 40 eval 'splash=$(window_of $pid "Quellbid Free"); [[ -n $splash ]]'; then
    echo "nostart - - - -" >"$run/result"
    end_group "$pid"
    return
  fi
  sleep 0.3
  xdotool mousemove --window "$splash" 80 168 click 1  # the splash's Start button
  # The research window, and the start page loaded and read ahead.
  if ! wait_until 40 eval 'main=$(window_of $pid Quellbid); [[ -n $main ]] && grep -q "Bro: read ahead 1 answered" "$log"'; then
    echo "noload - - - -" >"$run/result"
    end_group "$pid"
    return
  fi
  if [[ $mode == bus ]] && ! timeout 40 /usr/bin/python3 "$reader" page "$pid"; then
    echo "noreader - - - -" >"$run/result"
    end_group "$pid"
    return
  fi
  sleep 1
  xdotool windowactivate --sync "$main" 2>/dev/null
  sleep 0.5
  local lines_before
  lines_before=$(wc -l <"$log")
  local focus stalled=""
  focus=$(xdotool getwindowfocus 2>/dev/null)
  case ${QB_F7_STALL:-}:$mode in
    registry:bus) stalled=$(pgrep -s "$atspi_session" at-spi2-registr) ;;
    renderer:*) stalled=$(pgrep -s "$pid" QtWebEngineProc) ;;
  esac
  [[ -n $stalled ]] && kill -STOP $stalled
  t0=$(now)
  xdotool key F7
  local end=$((t0 + 35000))
  while (($(now) < end)); do
    if [[ -z $ts ]] && compgen -G "$run/work/log*.sha" >/dev/null; then ts=$(now); fi
    if tail -n +"$((lines_before + 1))" "$log" | grep -qE "harvest ended|page not read|message: "; then
      te=$(now)
      break
    fi
    if ((!pressed_again && $(now) > t0 + 15000)); then
      xdotool key F7
      pressed_again=1
    fi
    sleep 0.01
  done
  [[ -z $ts ]] && compgen -G "$run/work/log*.sha" >/dev/null && ts=$(now)
  local after
  after=$(tail -n +"$((lines_before + 1))" "$log")
  if [[ -n $te ]] && ((te - t0 <= 30000)); then
    if grep -q "page not read" <<<"$after"; then
      outcome=message
    elif grep -q "message: " <<<"$after"; then
      outcome=message
    else
      sleep 0.2
      after=$(tail -n +"$((lines_before + 1))" "$log")
      outcome=$(grep -oE "harvest ended: [0-9]+ rows" <<<"$after" | grep -oE "[0-9]+" | head -1)
      outcome="rows:${outcome:-?}"
      if [[ $mode == bus && -z $stalled ]]; then outcome+="/reader:$(timeout 40 /usr/bin/python3 "$reader" rows "$pid")"; fi
    fi
  fi
  # When the program first heard of the key, by its own clock.
  local tk
  tk=$(grep -m1 -oE "[0-9]{13} (key |command)" <<<"$after" | cut -d' ' -f1)
  if [[ $outcome == silent ]]; then
    gdb -p "$pid" -batch -ex "thread apply all bt" >"$run/threads.txt" 2>&1 || true
  fi
  [[ -n $stalled ]] && kill -CONT $stalled
  # Whether the key went to the research window (or one of its own).
  local focused=other
  [[ -n $focus ]] && xdotool search --pid "$pid" 2>/dev/null | grep -qx "$focus" && focused=program
  since() { if [[ -n $1 ]]; then echo $(($1 - t0)); else echo -; fi; }
  echo "$outcome $(since "$ts") $(since "$te") $(since "$tk") $focused" >"$run/result"
  end_group "$pid"
}

summary() {
  local mode=$1
  python3 - "$out/$mode" <<'EOF'
import glob, os, statistics, sys
rows = []
for path in sorted(glob.glob(os.path.join(sys.argv[1], "run-*", "result"))):
    with open(path) as f:
        rows.append(f.read().split())
silent = [r for r in rows if r[0] != "message" and not r[0].startswith("rows:")]
unfocused = sum(1 for r in rows if len(r) > 4 and r[4] != "program")
def figures(column):
    values = [int(r[column]) for r in rows if r[column] != "-"]
    if not values:
        return "-"
    return f"median {statistics.median(values):.0f} ms, max {max(values)} ms"
outcomes = {}
for r in rows:
    outcomes[r[0]] = outcomes.get(r[0], 0) + 1
mode = os.path.basename(sys.argv[1])
print(f"{mode}: {len(rows)} runs, {len(silent)} silent; outcomes {outcomes}; "
      f"key sent with the focus elsewhere: {unfocused}")
print(f"  key to snapshot: {figures(1)}")
print(f"  key to rows or message: {figures(2)}")
print(f"  key to the program hearing of it: {figures(3)}")
for r, path in zip(rows, sorted(glob.glob(os.path.join(sys.argv[1], "run-*")))):
    if r in silent:
        print(f"  silent: {path}")
EOF
}

if [[ ${QB_F7_BUSY:-0} == 1 ]]; then
  for _ in 1 2; do
    (while :; do :; done) &
    busy+=($!)
  done
fi

for mode in $modes; do
  mkdir -p "$out/$mode"
  rm -rf "$out/$mode"/run-*
  fresh=${QB_F7_FRESH:-0}
  ((fresh)) || start_session "$mode"
  for i in $(seq 1 "$runs"); do
    run="$out/$mode/run-$(printf %02d "$i")"
    ((fresh)) && start_session "$mode"
    run_once "$mode" "$run"
    ((fresh)) && end_session
    echo "$mode run $i: $(cat "$run/result")"
  done
  ((fresh)) || end_session
done
echo
for mode in $modes; do summary "$mode"; done
