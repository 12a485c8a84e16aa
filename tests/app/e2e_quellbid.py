#!/usr/bin/python3
"""Drives the real quellbid program as a screen reader user would: reads it
through AT-SPI, acts with AT-SPI actions and xdotool, takes screenshots.

Needs DISPLAY, an AT-SPI bus and a window manager (set up by e2e_quellbid.sh).
usage: e2e_quellbid.py <quellbid> <working folder> <screenshot folder>
       e2e_quellbid.py --press <pid> <role> <name>   (used by the test itself)
"""

import glob
import os
import re
import subprocess
import sys
import time

import pyatspi

PROGRAM, WORKDIR, SHOTS = sys.argv[1:4] if sys.argv[1] != "--press" else (None, None, None)

# The rows the sample start page holds (item, bids, amount, description);
# its GBP record is not a dollar auction and stays out.
EXPECTED_ROWS = {
    ("110000000001", "5", "12.50", "Vintage brass desk lamp"),
    ("110000000002", "0", "1299.00", "Silver pocket watch"),
    ("110000000004", "3", "45.00", "Cast iron skillet"),
    ("110000000005", "17", "7.25", "Set of six enamel mugs"),
}


class Failure(Exception):
    pass


def log(text):
    print(f"[{time.strftime('%H:%M:%S')}] {text}", flush=True)


def wait_for(what, probe, timeout, interval=0.25):
    """Calls probe until it returns something true; fails after timeout seconds."""
    end = time.monotonic() + timeout
    while True:
        try:
            result = probe()
        except Exception:  # the accessible tree changes under our feet
            result = None
        if result:
            return result
        if time.monotonic() > end:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def screenshot(name, pid=None, title=None):
    """The whole screen, and with pid and title also that window with its frame."""
    path = os.path.join(SHOTS, name + ".png")
    subprocess.run(["import", "-window", "root", path], timeout=20, check=False)
    log(f"screenshot {path}")
    if pid is not None:
        ids = xdotool("search", "--onlyvisible", "--pid", str(pid), "--name", f"^{title}$").stdout.split()
        if ids:
            subprocess.run(["import", "-frame", "-window", ids[-1], os.path.join(SHOTS, name + "-window.png")],
                           timeout=20, check=False)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], timeout=15, capture_output=True, text=True)


def find_app(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def states(acc):
    return acc.getState()


def showing(acc):
    try:
        s = states(acc)
        return s.contains(pyatspi.STATE_SHOWING) and s.contains(pyatspi.STATE_VISIBLE)
    except Exception:
        return False


def windows(app):
    """The application's top-level windows that are on screen."""
    result = []
    for i in range(app.childCount):
        win = app.getChildAtIndex(i)
        if win is not None and showing(win):
            result.append(win)
    return result


def walk(acc, depth=0, limit=40):
    if acc is None or depth > limit:
        return
    yield acc
    try:
        count = acc.childCount
    except Exception:
        return
    for i in range(min(count, 2000)):
        try:
            child = acc.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1, limit)


def find(root, name=None, role=None, pattern=None, only_showing=False):
    for acc in walk(root):
        try:
            if role is not None and acc.getRoleName() != role:
                continue
            if name is not None and acc.name != name:
                continue
            if pattern is not None and not re.search(pattern, acc.name or ""):
                continue
            if only_showing and not showing(acc):
                continue
            return acc
        except Exception:
            continue
    return None


def press(acc):
    action = acc.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


HELPERS = []


def press_in_background(pid, role, name):
    """Presses an accessible from a helper process. An action that opens a
    modal window or ends the program answers late or never; its effect is
    checked by waiting for it."""
    helper = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--press", str(pid), role, name])
    HELPERS.append(helper)


def press_mode(pid, role, name):
    app = wait_for("the program", lambda: find_app(pid), 10)
    target = wait_for(f"{role} {name!r}", lambda: find(app, name=name, role=role), 10)
    try:
        press(target)
    except Exception:
        pass
    return 0


def x_windows(pid):
    """The process's windows in the window manager's client list (what a task bar shows)."""
    listing = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST"], timeout=10, capture_output=True,
                             text=True).stdout
    result = []
    for wid in re.findall(r"0x[0-9a-f]+", listing):
        props = subprocess.run(["xprop", "-id", wid, "_NET_WM_PID", "WM_STATE", "_NET_WM_NAME"], timeout=10,
                               capture_output=True, text=True).stdout
        if re.search(rf"_NET_WM_PID\(CARDINAL\) = {pid}\b", props) and "Normal" in props:
            name = re.search(r'_NET_WM_NAME\(UTF8_STRING\) = "(.*)"', props)
            result.append(name.group(1) if name else wid)
    return result


def snapshots():
    return sorted(f for f in os.listdir(WORKDIR) if re.fullmatch(r"log\d{7}\.sha", f))


def grid_rows(window):
    table = find(window, role="table", name="Research grid")
    if table is None:
        return None
    t = table.queryTable()
    rows = []
    for r in range(t.nRows):
        cells = []
        for c in range(t.nColumns):
            cell = t.getAccessibleAt(r, c)
            text = cell.name if cell is not None else ""
            if not text and cell is not None:
                try:
                    text = cell.queryText().getText(0, -1)
                except Exception:
                    pass
            cells.append(text)
        rows.append(tuple(cells))
    headers = []
    for c in range(t.nColumns):
        header = t.getColumnHeader(c)
        headers.append(header.name if header is not None else t.getColumnDescription(c))
    return headers, rows


def start_program():
    # The second variable exposes the web pages' content as well.
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY="1")
    logfile = open(os.path.join(SHOTS, f"quellbid-{int(time.time() * 1000)}.log"), "w")
    process = subprocess.Popen([PROGRAM], cwd=WORKDIR, env=env, stdout=logfile, stderr=subprocess.STDOUT)
    log(f"started {PROGRAM} as {process.pid}")
    return process


def wait_exit(process, timeout):
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure(f"the program did not end within {timeout} s")


def wait_splash(process):
    app = wait_for("the program on the accessibility bus", lambda: find_app(process.pid), 40)
    splash = wait_for("the splash window", lambda: (lambda w: w[0] if len(w) == 1 else None)(windows(app)), 30)
    return app, splash


def run_main_journey():
    started = time.monotonic()
    process = start_program()
    try:
        app, splash = wait_splash(process)
        log(f"splash on screen {time.monotonic() - started:.2f} s after the start")
        start = wait_for("the Start button", lambda: find(splash, name="Start", role="push button"), 10)
        version = wait_for("the version label", lambda: find(splash, pattern=r"^Version :  "), 10)
        log(f"splash: {len(windows(app))} window(s); version label {version.name!r}")
        if version.name != "Version :  2.2.0.15":
            raise Failure(f"splash version label reads {version.name!r}")
        # Until Start, the splash is the only window, also for the window system.
        time.sleep(1.0)
        if len(windows(app)) != 1:
            raise Failure(f"expected the splash alone, found {[w.name for w in windows(app)]}")
        xwins = x_windows(process.pid)
        if xwins != ["Quellbid Free"]:
            raise Failure(f"expected the splash \"Quellbid Free\" alone in the task bar, found {xwins}")
        log(f"window manager shows {xwins}")
        screenshot("splash", process.pid, "Quellbid Free")

        press(start)
        main = wait_for("the window Quellbid",
                        lambda: next((w for w in windows(app) if w.name == "Quellbid"), None), 20)
        wait_for("the splash to close", lambda: len(windows(app)) == 1, 10)
        xwins = wait_for("the task bar to list the research window alone",
                         lambda: (lambda w: w if w == ["Quellbid"] else None)(x_windows(process.pid)), 10)
        log(f"research window up, splash gone; window manager shows {xwins}")

        # Let the start page load, then F7 in the focused research window.
        wait_for("the start page in the browser",
                 lambda: find(main, name="Quellbid sample results", role="document web") is not None, 30)
        if snapshots():
            raise Failure(f"snapshot files before the harvest: {snapshots()}")
        ids = xdotool("search", "--onlyvisible", "--pid", str(process.pid), "--name", "^Quellbid").stdout.split()
        if not ids:
            raise Failure("no X window named Quellbid")
        xdotool("windowactivate", "--sync", ids[0])
        time.sleep(0.5)
        xdotool("key", "F7")
        wait_for("a snapshot file", snapshots, 15)

        def harvested():
            result = grid_rows(main)
            return result if result and len(result[1]) >= len(EXPECTED_ROWS) else None

        headers, rows = wait_for("the harvested rows in the grid", harvested, 15)
        log(f"grid headers {headers}; rows {rows}")
        if list(headers)[:4] != ["Item Number", "Bids", "Amount", "Description"]:
            raise Failure(f"grid headers {headers}")
        if set(r[:4] for r in rows) != EXPECTED_ROWS or len(rows) != len(EXPECTED_ROWS):
            raise Failure(f"grid rows {rows}, expected {sorted(EXPECTED_ROWS)}")
        time.sleep(0.5)
        if len(snapshots()) != 1:
            raise Failure(f"expected one snapshot file, found {snapshots()}")
        with open(os.path.join(WORKDIR, snapshots()[0]), "rb") as f:
            if b"var salejs" not in f.read():
                raise Failure("the snapshot does not hold the start page")
        screenshot("research-window", process.pid, "Quellbid")

        # View > Graphs and Statistics opens the statistics window modally over the four rows.
        if os.environ.get("QB_E2E_STATISTICS") == "1":
            wait_for("the Graphs and Statistics menu item",
                     lambda: find(main, name="Graphs and Statistics", role="menu item"), 10)
            press_in_background(process.pid, "menu item", "Graphs and Statistics")
            stats = wait_for("the statistics window",
                             lambda: next((w for w in windows(app) if w.getRoleName() == "dialog"), None), 15)
            highest = wait_for("the highest amount",
                               lambda: find(stats, name="Highest:", role="text") or find(stats, name="Highest:"), 10)
            value = highest.queryText().getText(0, -1) if highest.getRoleName() == "text" else highest.name
            log(f"statistics window open; highest {value!r}")
            if "1299" not in value:
                raise Failure(f"statistics window shows the highest amount {value!r}")
            time.sleep(0.5)
            screenshot("statistics")
            press(wait_for("the statistics OK button", lambda: find(stats, name="OK", role="push button"), 10))
            wait_for("the statistics window to close",
                     lambda: all(w.getRoleName() != "dialog" for w in windows(app)), 10)

        # Help > About, modally, with the version; Close.
        wait_for("the About menu item", lambda: find(main, name="About", role="menu item"), 10)
        press_in_background(process.pid, "menu item", "About")
        about = wait_for("the About window",
                         lambda: next((w for w in windows(app) if w.name == "About"), None), 10)
        label = wait_for("the About version label", lambda: find(about, pattern=r"^VERSION : "), 10)
        if label.name != "VERSION : 2.2.0.15":
            raise Failure(f"About version label reads {label.name!r}")
        for text in ("Quellbid", "Support, Questions, and Comments", "Velmora Software"):
            if find(about, name=text) is None:
                raise Failure(f"About window lacks {text!r}")
        time.sleep(0.5)
        screenshot("about", process.pid, "About")
        press(wait_for("the Close button", lambda: find(about, name="Close", role="push button"), 10))
        wait_for("the About window to close", lambda: all(w.name != "About" for w in windows(app)), 10)

        # File > Exit ends the program with status 0.
        wait_for("the Exit menu item", lambda: find(main, name="Exit", role="menu item"), 10)
        press_in_background(process.pid, "menu item", "Exit")
        status = wait_exit(process, 20)
        if status != 0:
            raise Failure(f"exit status {status} after Exit")
        log("Exit: the program ended with status 0")
    except Failure:
        screenshot("failure")
        raise
    finally:
        if process.poll() is None:
            process.kill()
            process.wait(timeout=10)


def run_exit_from_splash():
    process = start_program()
    try:
        app, splash = wait_splash(process)
        wait_for("the splash Exit button", lambda: find(splash, name="Exit", role="push button"), 10)
        press_in_background(process.pid, "push button", "Exit")
        status = wait_exit(process, 20)
        if status != 0:
            raise Failure(f"exit status {status} after Exit on the splash")
        log("Exit on the splash: the program ended with status 0")
    except Failure:
        screenshot("failure-splash-exit")
        raise
    finally:
        if process.poll() is None:
            process.kill()
            process.wait(timeout=10)


def main():
    try:
        run_main_journey()
        for f in snapshots():
            os.remove(os.path.join(WORKDIR, f))
        run_exit_from_splash()
        if snapshots():
            raise Failure("Exit on the splash left a snapshot file")
    except Failure as failure:
        log(f"FAILED: {failure}")
        return 1
    finally:
        for helper in HELPERS:
            if helper.poll() is None:
                helper.kill()
                helper.wait(timeout=5)
    log("PASSED")
    return 0


if __name__ == "__main__":
    if sys.argv[1] == "--press":
        sys.exit(press_mode(int(sys.argv[2]), sys.argv[3], sys.argv[4]))
    sys.exit(main())
