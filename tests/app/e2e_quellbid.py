#!/usr/bin/python3
"""Drives the real quellbid program as a screen reader user would: reads it
through AT-SPI, acts with AT-SPI actions and xdotool, takes screenshots.

Needs DISPLAY, an AT-SPI bus and a window manager (set up by e2e_quellbid.sh).
usage: e2e_quellbid.py <quellbid> <working folder> <screenshot folder>
       e2e_quellbid.py --press <pid> <role> <name>   (used by the test itself)
"""

import contextlib
import csv
import html.parser
import json
import os
import re
import shutil
import subprocess
import sys
import time

import pyatspi

PROGRAM, WORKDIR, SHOTS = sys.argv[1:4] if sys.argv[1] != "--press" else (None, None, None)

# The rows of the two result pages (item, bids, amount, description), in page
# order. Page 1's GBP record is not a dollar auction and stays out; page 2's
# last record repeats an item of page 1 and is skipped.
PAGE1_ROWS = [
    ("110000000001", "5", "12.50", "Vintage brass desk lamp"),
    ("110000000002", "0", "1299.00", "Silver pocket watch"),
    ("110000000004", "3", "45.00", "Cast iron skillet"),
    ("110000000005", "17", "7.25", "Set of six enamel mugs"),
]
PAGE2_NEW_ROWS = [
    ("110000000006", "0", "3.99", "Brass door knocker"),
    ("110000000007", "2", "8.00", "Pair of pewter candlesticks"),
    ("110000000008", "11", "150.00", "Mahogany writing slope"),
    ("110000000009", "4", "22.75", "Carriage clock key"),
]


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
        ids = xdotool("search", "--all", "--onlyvisible", "--pid", str(pid), "--name", f"^{title}$").stdout.split()
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


def wait_rows(window, count, what, exact=False):
    """The grid's rows once it holds count of them (at least, or exactly)."""
    def probe():
        result = grid_rows(window)
        if not result:
            return None
        rows = result[1]
        return rows if (len(rows) == count if exact else len(rows) >= count) else None
    return wait_for(what, probe, 15)


def expect_rows(rows, expected, when, ordered=False):
    got = [tuple(r[:4]) for r in rows]
    if (got != list(expected)) if ordered else (sorted(got) != sorted(expected)):
        raise Failure(f"grid rows {when}: {got}, expected {list(expected)}")


def activate(pid, title):
    """Raises and focuses the process's window with that title; returns its X id."""
    ids = wait_for(f"an X window named {title}",
                   lambda: xdotool("search", "--all", "--onlyvisible", "--pid", str(pid), "--name", f"^{title}$").stdout.split(),
                   10)
    xdotool("windowactivate", "--sync", ids[-1])
    time.sleep(0.5)
    return ids[-1]


def click(acc):
    """A left click in the middle of the accessible, with the mouse."""
    x, y, w, h = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    # --sync waits for a motion, which never comes when the pointer is there already.
    if not xdotool("getmouselocation").stdout.startswith(f"x:{x + w // 2} y:{y + h // 2} "):
        xdotool("mousemove", "--sync", str(x + w // 2), str(y + h // 2))
    xdotool("click", "1")


def start_program(*arguments):
    # Every step of F7 goes to the program's log (quellbid.f7), for the failure report.
    rules = ";".join(filter(None, [os.environ.get("QT_LOGGING_RULES"), "quellbid.f7.debug=true"]))
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_LOGGING_RULES=rules)
    path = os.path.join(SHOTS, f"quellbid-{int(time.time() * 1000)}.log")
    logfile = open(path, "w")
    process = subprocess.Popen([PROGRAM, *arguments], cwd=WORKDIR, env=env, stdout=logfile, stderr=subprocess.STDOUT)
    process.log_path = path
    log(f"started {PROGRAM} as {process.pid}")
    return process


def report_f7(process):
    """The program's last F7 steps and, while it runs, where its threads are."""
    with open(process.log_path, errors="replace") as f:
        steps = [line.rstrip() for line in f if line.startswith("quellbid.f7:")]
    log("last F7 steps of the program:\n  " + "\n  ".join(steps[-25:]))
    if process.poll() is None and shutil.which("gdb"):
        path = os.path.join(SHOTS, f"threads-{process.pid}.txt")
        with open(path, "w") as out:
            subprocess.run(["gdb", "-p", str(process.pid), "-batch", "-ex", "thread apply all bt"], stdout=out,
                           stderr=subprocess.STDOUT, timeout=60, check=False)
        log(f"the program's threads: {path}")


def wait_exit(process, timeout):
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure(f"the program did not end within {timeout} s")


def wait_splash(process):
    app = wait_for("the program on the accessibility bus", lambda: find_app(process.pid), 40)
    splash = wait_for("the splash window", lambda: (lambda w: w[0] if len(w) == 1 else None)(windows(app)), 30)
    return app, splash


@contextlib.contextmanager
def running_program(failure_shot, *arguments):
    """Starts the program; on a failure takes a screenshot; never leaves it running."""
    process = start_program(*arguments)
    try:
        yield process
    except Failure:
        screenshot(failure_shot)
        report_f7(process)
        raise
    finally:
        if process.poll() is None:
            process.kill()
            process.wait(timeout=10)


def press_to_exit(process, role, name):
    """Presses the accessible and expects the program to end with status 0."""
    press_in_background(process.pid, role, name)
    status = wait_exit(process, 20)
    if status != 0:
        raise Failure(f"exit status {status} after {name}")
    log(f"{name}: the program ended with status 0")


def run_main_journey():
    started = time.monotonic()
    with running_program("failure") as process:
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
        screenshot("0-splash", process.pid, "Quellbid Free")

        press(start)
        main = wait_for("the window Quellbid",
                        lambda: next((w for w in windows(app) if w.name == "Quellbid"), None), 20)
        wait_for("the splash to close", lambda: len(windows(app)) == 1, 10)
        xwins = wait_for("the task bar to list the research window alone",
                         lambda: (lambda w: w if w == ["Quellbid"] else None)(x_windows(process.pid)), 10)
        log(f"research window up, splash gone; window manager shows {xwins}")

        # Page 1: let it load, then F7 in the focused research window.
        wait_for("the start page in the browser",
                 lambda: find(main, name="Quellbid sample results", role="document web") is not None, 30)
        if snapshots():
            raise Failure(f"snapshot files before the harvest: {snapshots()}")
        main_id = activate(process.pid, "Quellbid")
        xdotool("key", "F7")
        wait_for("a snapshot file", snapshots, 30)
        rows = wait_rows(main, len(PAGE1_ROWS), "the rows of page 1")
        headers = grid_rows(main)[0]
        log(f"grid headers {headers}; rows {rows}")
        if list(headers)[:4] != ["Item Number", "Bids", "Amount", "Description"]:
            raise Failure(f"grid headers {headers}")
        expect_rows(rows, PAGE1_ROWS, "after page 1")
        time.sleep(0.5)
        if len(snapshots()) != 1:
            raise Failure(f"expected one snapshot file, found {snapshots()}")
        with open(os.path.join(WORKDIR, snapshots()[0]), "rb") as f:
            if b"var salejs" not in f.read():
                raise Failure("the snapshot does not hold the start page")
        screenshot("1-page-1-harvested", process.pid, "Quellbid")

        # Page 2 through its link, F7 again: its rows are appended, the repeated item is skipped.
        link = wait_for("the link to page 2", lambda: find(main, name="More results", role="link"), 10)
        activate(process.pid, "Quellbid")
        click(link)
        wait_for("page 2 in the browser",
                 lambda: find(main, name="Quellbid sample results, page 2", role="document web") is not None, 30)
        activate(process.pid, "Quellbid")
        xdotool("key", "F7")
        rows = wait_rows(main, len(PAGE1_ROWS) + len(PAGE2_NEW_ROWS), "the rows of page 2")
        expect_rows(rows, PAGE1_ROWS + PAGE2_NEW_ROWS, "after page 2", ordered=True)
        if len(snapshots()) != 2:
            raise Failure(f"expected two snapshot files, found {snapshots()}")
        log(f"two pages harvested: {len(rows)} rows")
        screenshot("2-page-2-harvested", process.pid, "Quellbid")

        # Parse > Remove Zero Bid Items.
        press_in_background(process.pid, "menu item", "Remove Zero Bid Items")
        kept = [r for r in PAGE1_ROWS + PAGE2_NEW_ROWS if r[1] != "0"]
        rows = wait_rows(main, len(kept), "the zero-bid rows to go", exact=True)
        expect_rows(rows, kept, "after removing zero-bid rows", ordered=True)
        log(f"zero-bid rows removed: {len(rows)} rows left")
        screenshot("3-zero-bids-removed", process.pid, "Quellbid")

        # Filters > Set Low, 10 typed over the preselected 0.00: cheaper rows go.
        press_in_background(process.pid, "menu item", "Set Low")
        dialog = wait_for("the Low Filter dialog",
                          lambda: next((w for w in windows(app) if w.name == "Low Filter"), None), 15)
        field = wait_for("the filter value", lambda: find(dialog, role="text"), 10)
        value = field.queryText().getText(0, -1)
        if value != "0.00":
            raise Failure(f"the filter dialog starts with {value!r}")
        activate(process.pid, "Low Filter")
        xdotool("type", "--delay", "60", "10")
        time.sleep(0.3)
        screenshot("4-low-filter-typed", process.pid, "Low Filter")
        xdotool("key", "Return")
        kept = [r for r in kept if float(r[2]) >= 10]
        rows = wait_rows(main, len(kept), "the rows under 10 to go", exact=True)
        expect_rows(rows, kept, "after the low filter", ordered=True)
        log(f"low filter 10: {len(rows)} rows left")
        screenshot("5-low-filter-applied", process.pid, "Quellbid")

        # The first header click sorts Amount from the largest down.
        table = find(main, role="table", name="Research grid")
        activate(process.pid, "Quellbid")
        click(table.queryTable().getColumnHeader(2))
        kept = sorted(kept, key=lambda r: float(r[2]), reverse=True)
        wait_for("the rows sorted by amount",
                 lambda: [tuple(r[:4]) for r in grid_rows(main)[1]] == kept, 10)
        log(f"sorted by amount: {[r[2] for r in kept]}")
        screenshot("6-sorted-by-amount", process.pid, "Quellbid")

        # View > Graphs and Statistics opens the statistics window modally over the rows; OK closes it.
        if os.environ.get("QB_E2E_STATISTICS") == "1":
            press_in_background(process.pid, "menu item", "Graphs and Statistics")
            stats = wait_for("the statistics window",
                             lambda: next((w for w in windows(app) if w.getRoleName() == "dialog"), None), 15)
            amounts = sorted(float(r[2]) for r in kept)
            middle = len(amounts) // 2
            expected = {"Highest:": max(amounts), "Lowest:": min(amounts),
                        "Average:": sum(amounts) / len(amounts),
                        "Median:": (amounts[middle - 1] + amounts[middle]) / 2 if len(amounts) % 2 == 0
                        else amounts[middle]}
            for label, number in expected.items():
                field = wait_for(label, lambda: find(stats, name=label, role="text") or find(stats, name=label), 10)
                value = field.queryText().getText(0, -1) if field.getRoleName() == "text" else field.name
                if abs(float(value) - number) > 1e-9:
                    raise Failure(f"statistics window shows {label} {value!r}, expected {number}")
            log(f"statistics window open: {expected}")
            time.sleep(0.5)
            screenshot("7-statistics")
            press(wait_for("the statistics OK button", lambda: find(stats, name="OK", role="push button"), 10))
            wait_for("the statistics window to close",
                     lambda: all(w.getRoleName() != "dialog" for w in windows(app)), 10)
            if [tuple(r[:4]) for r in grid_rows(main)[1]] != kept:
                raise Failure("the statistics window changed the grid")

        # View > Calculator, 12 + 30 = typed on the keyboard; the display reads 42.
        press_in_background(process.pid, "menu item", "Calculator")
        calc = wait_for("the calculator", lambda: next((w for w in windows(app) if w.name == "Calculator"), None), 15)
        activate(process.pid, "Calculator")
        xdotool("type", "--delay", "120", "12+30=")
        wait_for("the calculator to show 42", lambda: find(calc, name="42") is not None, 10)
        log("calculator: 12+30= shows 42")
        # Side by side for the picture: the research window at the left edge, the calculator right of it.
        xdotool("windowmove", "--sync", main_id, "0", "0")
        calc_ids = xdotool("search", "--all", "--onlyvisible", "--pid", str(process.pid), "--name", "^Calculator$").stdout.split()
        if calc_ids:
            xdotool("windowmove", "--sync", calc_ids[-1], "990", "120")
        time.sleep(0.7)
        screenshot("8-calculator")

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
        screenshot("9-about", process.pid, "About")
        press(wait_for("the Close button", lambda: find(about, name="Close", role="push button"), 10))
        wait_for("the About window to close", lambda: all(w.name != "About" for w in windows(app)), 10)

        # File > Exit ends the program, with the calculator still open.
        wait_for("the Exit menu item", lambda: find(main, name="Exit", role="menu item"), 10)
        press_to_exit(process, "menu item", "Exit")


SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
# The start page's links to the card sample pages, and the rows and status line each one gives.
CARD_PAGES = [("Enamel teapots", "sample-cards-2026"), ("Mantel clocks", "sample-cards-2025"),
              ("Film cameras", "sample-cards-2024")]


def card_expectation(page):
    """The page's expected rows (seven fields) and report lines."""
    folder = os.path.join(SOURCE, "tests", "harvest", "cards")
    with open(os.path.join(folder, page + ".csv"), encoding="utf-8", newline="") as f:
        rows = [tuple(r) for r in list(csv.reader(f))[1:]]
    with open(os.path.join(folder, page + ".report"), encoding="utf-8") as f:
        return rows, f.read().strip().split("\n")


def expect_details(rows, expected, when):
    """Sold, Delivery and Condition of the grid's rows: Delivery and Condition as written, Sold in the
    locale's short form, so only its day and year are looked for."""
    for got, want in zip(rows, expected):
        sold, delivery, condition = want[4:7]
        shown = got[4:7]
        numbers = [int(n) for n in re.findall(r"\d+", shown[0])]
        sold_ok = not shown[0] if not sold else (int(sold[8:]) in numbers and
                                                 (int(sold[:4]) in numbers or int(sold[2:4]) in numbers))
        if not sold_ok or list(shown[1:]) != [delivery, condition]:
            raise Failure(f"details {when}: {got}, expected {want}")


def check_search_form():
    """The start page's search box: words typed there open the site's sold listings, newest first."""
    class Form(html.parser.HTMLParser):
        def __init__(self):
            super().__init__()
            self.action, self.fields = None, []

        def handle_starttag(self, tag, attrs):
            a = dict(attrs)
            if tag == "form" and self.action is None:
                self.action = (a.get("action"), a.get("method"))
            elif tag == "input" and self.action and "name" in a:
                self.fields.append((a["name"], a.get("value", "")))
    form = Form()
    with open(os.path.join(SOURCE, "pages", "base.htm"), encoding="utf-8") as f:
        form.feed(f.read())
    want = (("https://www.ebay.com/sch/i.html", "get"),
            [("_nkw", ""), ("LH_Sold", "1"), ("LH_Complete", "1"), ("_ipg", "240"), ("_sop", "13")])
    if (form.action, form.fields) != want:
        raise Failure(f"start page search form {form.action} {form.fields}")


def run_card_pages():
    """F7 on each card sample page, reached through the real start page: its rows and the status bar line."""
    global WORKDIR
    WORKDIR = os.path.join(os.path.dirname(os.path.abspath(WORKDIR)), "cards")
    shutil.rmtree(WORKDIR, ignore_errors=True)
    shutil.copytree(os.path.join(SOURCE, "pages"), WORKDIR)
    with running_program("failure-cards") as process:
        app, splash = wait_splash(process)
        press(wait_for("the Start button", lambda: find(splash, name="Start", role="push button"), 10))
        main = wait_for("the window Quellbid",
                        lambda: next((w for w in windows(app) if w.name == "Quellbid"), None), 20)
        expected, detailed = [], []
        for number, (link_name, page) in enumerate(CARD_PAGES):
            wait_for("the start page", lambda: find(main, name="Quellbid start page", role="document web"), 30)
            link = wait_for(f"the link {link_name}", lambda: find(main, name=link_name, role="link"), 10)
            link.queryAction().doAction(0)  # focus scrolls it into view
            time.sleep(0.5)
            activate(process.pid, "Quellbid")
            click(link)
            wait_for(page, lambda: find(main, pattern=r" \| Gavelton$", role="document web"), 30)
            activate(process.pid, "Quellbid")
            xdotool("key", "F7")
            rows, (report,) = card_expectation(page)
            expected += [r[:4] for r in rows]
            detailed += rows
            status = wait_for("the status bar line", lambda: find(main, pattern=r"^\d+ sold listing", role="label"), 30)
            wait_for(f"the status bar to say {report!r}", lambda: status.name == report, 10)
            grid = wait_rows(main, len(expected), f"the rows of {page}")
            expect_rows(grid, expected, f"after {page}", ordered=True)
            expect_details(grid, detailed, f"after {page}")
            log(f"{page}: {len(rows)} rows; status bar {report!r}")
            screenshot("card-" + page, process.pid, "Quellbid")
            # A click on Sold: oldest first (empties first), the next click newest first; ties keep their order.
            detailed = sorted(detailed, key=lambda r: r[4], reverse=number % 2 == 1)
            expected = [r[:4] for r in detailed]
            activate(process.pid, "Quellbid")
            click(find(main, role="table", name="Research grid").queryTable().getColumnHeader(4))
            wait_for("the rows sorted by Sold", lambda: [tuple(r[:4]) for r in grid_rows(main)[1]] == expected, 10)
            screenshot("card-" + page + "-by-sold", process.pid, "Quellbid")
            press_in_background(process.pid, "menu item", "Search Start Page")

        # A search without an exact match: F7 adds nothing and says why in a box.
        wait_for("the start page", lambda: find(main, name="Quellbid start page", role="document web"), 30)
        link = wait_for("the link to the page", lambda: find(main, pattern="bell clock$", role="link"), 10)
        link.queryAction().doAction(0)
        time.sleep(0.5)
        activate(process.pid, "Quellbid")
        click(link)
        wait_for("the page", lambda: find(main, pattern=r"chelsea for sale \| Gavelton$", role="document web"), 30)
        activate(process.pid, "Quellbid")
        xdotool("key", "F7")
        _, (report, message) = card_expectation("sample-cards-fewer-words")
        box = wait_for("the No Results Added box",
                       lambda: next((w for w in windows(app) if w.name == "No Results Added"), None), 30)
        wait_for("its message", lambda: find(box, name=message), 10)
        screenshot("card-fewer-words", process.pid, "No Results Added")
        press(wait_for("its OK button", lambda: find(box, name="OK", role="push button"), 10))
        wait_for("the box to close", lambda: all(w.name != "No Results Added" for w in windows(app)), 10)
        wait_for(f"the status bar to say {report!r}",
                 lambda: find(main, name=report, role="label") is not None, 10)
        expect_rows(wait_rows(main, len(expected), "the rows after it", exact=True), expected,
                    "after the page without an exact match", ordered=True)
        log(f"sample-cards-fewer-words: no rows; box {message!r}")
        press_to_exit(process, "menu item", "Exit")


SEARCH_PAGES = ["sample-cards-search-1", "sample-cards-search-2", "sample-cards-search-3"]
WALK_END = ("3 pages, 75 sold listings: 70 added, 2 already in the grid, 3 left out (price not a single U.S. "
            "dollar amount). That was the last page.")
WALK_CANCELLED = "1 page, 30 sold listings: 30 added. Cancelled at page 1."


def open_search(process, main):
    """The three-page sample search, reached by its link on the start page."""
    search = r"^cast iron skillet for sale \| Gavelton$"
    if find(main, pattern=search, role="document web"):
        press_in_background(process.pid, "menu item", "Search Start Page")
        wait_for("the start page in place of the search",
                 lambda: not find(main, pattern=search, role="document web"), 30)
    wait_for("the start page", lambda: find(main, name="Quellbid start page", role="document web"), 30)
    link = wait_for("the link Cast iron skillets", lambda: find(main, name="Cast iron skillets", role="link"), 10)
    link.queryAction().doAction(0)  # focus scrolls it into view
    time.sleep(0.5)
    activate(process.pid, "Quellbid")
    click(link)
    wait_for("the search's first page", lambda: find(main, pattern=r"^cast iron skillet for sale \| Gavelton$",
                                                      role="document web"), 30)
    activate(process.pid, "Quellbid")


def walk_times(process):
    """What the walk added per page after its load, from the program's log."""
    with open(process.log_path, errors="replace") as f:
        return [int(m) for m in re.findall(r"walk: page read, (\d+) ms after its load", f.read())]


def run_add_all_pages():
    """Shift+F7 over the three-page search: every page's rows once, the closing line, a snapshot per page;
    then Cancel in the pause after page 1 keeps that page's rows and leaves the browser on it."""
    global WORKDIR
    WORKDIR = os.path.join(os.path.dirname(os.path.abspath(WORKDIR)), "walk")
    shutil.rmtree(WORKDIR, ignore_errors=True)
    shutil.copytree(os.path.join(SOURCE, "pages"), WORKDIR)
    expected, seen = [], set()
    for page in SEARCH_PAGES:
        for row in card_expectation(page)[0]:
            if row[0] not in seen:
                seen.add(row[0])
                expected.append(row)
    with running_program("failure-walk") as process:
        app, splash = wait_splash(process)
        press(wait_for("the Start button", lambda: find(splash, name="Start", role="push button"), 10))
        main = wait_for("the window Quellbid",
                        lambda: next((w for w in windows(app) if w.name == "Quellbid"), None), 20)
        open_search(process, main)
        xdotool("key", "shift+F7")
        dialog = wait_for("the progress dialog",
                          lambda: next((w for w in windows(app) if w.name == "Add All Pages"), None), 20)
        wait_for("the pause before page 2", lambda: find(dialog, pattern=r"^Page 2\n30 rows added so far\n"
                                                         r"Page 1: 30 sold listings: 30 added$"), 20)
        screenshot("walk-progress", process.pid, "Quellbid")
        if find(main, name="Add All From Page", role="menu item").getState().contains(pyatspi.STATE_ENABLED):
            raise Failure("Add All From Page is enabled while the walk runs")
        wait_for(f"the status bar to say {WALK_END!r}", lambda: find(main, name=WALK_END, role="label"), 40)
        wait_for("the dialog to close", lambda: all(w.name != "Add All Pages" for w in windows(app)), 10)
        grid = wait_rows(main, len(expected), "the search's rows", exact=True)
        expect_rows(grid, [r[:4] for r in expected], "after Add All Pages", ordered=True)
        expect_details(grid, expected, "after Add All Pages")
        if len(snapshots()) != 3:
            raise Failure(f"snapshots after Add All Pages: {snapshots()}")
        times = walk_times(process)
        log(f"Add All Pages: {len(grid)} rows; status bar {WALK_END!r}; ms per page after its load: {times}")
        screenshot("walk-done", process.pid, "Quellbid")

        # A new research, the walk again, Cancel in the pause after page 1.
        activate(process.pid, "Quellbid")
        xdotool("key", "ctrl+n")
        wait_for("the empty grid of a new research", lambda: grid_rows(main)[1] == [], 15)
        open_search(process, main)
        xdotool("key", "shift+F7")
        dialog = wait_for("the progress dialog",
                          lambda: next((w for w in windows(app) if w.name == "Add All Pages"), None), 20)
        cancel = wait_for("its Cancel button in the pause before page 2",
                          lambda: find(dialog, pattern=r"^Page 2\n30 rows added") and
                          find(dialog, name="Cancel", role="push button"), 20)
        click(cancel)
        wait_for(f"the status bar to say {WALK_CANCELLED!r}",
                 lambda: find(main, name=WALK_CANCELLED, role="label"), 10)
        expect_rows(wait_rows(main, 30, "page 1's rows", exact=True), [r[:4] for r in expected[:30]],
                    "after Cancel", ordered=True)
        # The browser is still on page 1: F7 finds nothing new on it.
        time.sleep(3.5)  # past the cancelled pause
        activate(process.pid, "Quellbid")
        xdotool("key", "F7")
        wait_for("F7 on page 1 again",
                 lambda: find(main, name="30 sold listings: 0 added, 30 already in the grid", role="label"), 20)
        screenshot("walk-cancelled", process.pid, "Quellbid")
        log("Add All Pages cancelled after page 1: 30 rows, the browser still on page 1")
        press_to_exit(process, "menu item", "Exit")


def big_table_page(records):
    """pages/sample-lamps.htm with its record rows repeated to the given count, each with an item number of its own."""
    with open(os.path.join(SOURCE, "pages", "sample-lamps.htm"), encoding="utf-8") as f:
        page = f.read()
    first = page.rindex("<tr", 0, page.index('input type="checkbox"'))
    last = page.rindex("</tr>") + len("</tr>")
    rows = re.findall(r"<tr class=\"(?:odd|even)\">.*?</tr>", page[first:last], re.S)
    body = "\n".join(re.sub(r"4512003\d{3}", str(4600000000 + i), rows[i % len(rows)]) for i in range(records))
    return page[:first] + body + page[last:]


def run_big_pages():
    """F7 on big table pages once they have loaded: every row arrives, and the time from F7 to the rows is logged.
    QB_E2E_BIG_RECORDS lists the record counts (default 6000, about 3.3 MB; empty runs none); QB_E2E_BIG_ONLY
    leaves out the other journeys, QB_E2E_BIG_JSON names a file for the figures as benchmark JSON."""
    counts = [int(n) for n in os.environ.get("QB_E2E_BIG_RECORDS", "6000").split(",") if n.strip()]
    global WORKDIR
    WORKDIR = os.path.join(os.path.dirname(os.path.abspath(WORKDIR)), "big")
    figures = []
    for records in counts:
        shutil.rmtree(WORKDIR, ignore_errors=True)
        os.makedirs(WORKDIR)
        start_page = os.path.join(WORKDIR, "base.htm")
        with open(start_page, "w", encoding="utf-8") as f:
            f.write(big_table_page(records))
        megabytes = os.path.getsize(start_page) / 1e6
        harvest = subprocess.run([os.path.join(os.path.dirname(PROGRAM), "quellbid-harvest"), start_page],
                                 capture_output=True, timeout=60)
        expected = harvest.stdout.count(b"\n4600")
        with running_program(f"failure-big-{records}") as process:
            app, splash = wait_splash(process)
            press(wait_for("the Start button", lambda: find(splash, name="Start", role="push button"), 10))
            main = wait_for("the window Quellbid",
                            lambda: next((w for w in windows(app) if w.name == "Quellbid"), None), 20)
            table = wait_for("the grid", lambda: find(main, role="table", name="Research grid"), 10)

            def page_document(acc=main, depth=0):
                # Down to the documents, never into them: the big one has thousands of rows.
                try:
                    role = acc.getRoleName()
                    if role == "document web":
                        return acc if acc.name.startswith("Gavelton") else None
                    if role == "table" or depth > 12:
                        return None
                    return next(filter(None, (page_document(acc.getChildAtIndex(i), depth + 1)
                                              for i in range(acc.childCount))), None)
                except Exception:  # a node that went away meanwhile
                    return None

            def loaded():
                document = page_document()
                return document is not None and not document.getState().contains(pyatspi.STATE_BUSY)
            still_busy = False
            try:
                wait_for("the big page to load", loaded, 90, interval=1)
            except Failure as failure:
                # The engine's accessible tree of a big document sometimes stays busy long after the page has
                # drawn. With its title there, F7 goes ahead; only every row arriving makes the figure count.
                if page_document() is None:
                    log(f"big page: {records} records left out: {failure}")
                    screenshot(f"big-{records}-not-loaded", process.pid, "Quellbid")
                    continue
                still_busy = True
            time.sleep(2)
            activate(process.pid, "Quellbid")
            started = time.monotonic()
            xdotool("key", "F7")
            try:
                wait_for(f"{expected} rows", lambda: table.queryTable().nRows == expected, 30 if still_busy else 120,
                         interval=0.05)
            except Failure as failure:
                if not still_busy:
                    raise
                log(f"big page: {records} records left out: the engine reported the page busy, then {failure}")
                continue
            took = time.monotonic() - started
            log(f"big page: {records} records, {megabytes:.1f} MB: F7 to {expected} rows in {took:.2f} s "
                f"({took / megabytes:.3f} s/MB)" + (" (the engine still reported the page busy)" if still_busy else ""))
            figures.append({"name": f"F7_BigTablePage_AccessibilityBus/{records}", "run_type": "iteration",
                            "real_time": took * 1000, "time_unit": "ms", "megabytes": megabytes, "rows": expected})
            screenshot(f"big-{records}", process.pid, "Quellbid")
            # Budget 0.2 s/MB; the test only fails far beyond it, the log carries the figure.
            if took > 1 + 0.6 * megabytes and not still_busy:
                raise Failure(f"F7 on a {megabytes:.1f} MB page took {took:.2f} s")
    if os.environ.get("QB_E2E_BIG_JSON"):
        # Benchmark JSON for make bench's summary.
        with open(os.environ["QB_E2E_BIG_JSON"], "w") as f:
            json.dump({"benchmarks": figures}, f, indent=1)


def big_search_page(number, count, last):
    """Page number of a search of count-listing pages: the sample search's first page with its cards repeated,
    each with an item number of its own, and a next link to page number + 1 unless last."""
    with open(os.path.join(SOURCE, "pages", "sample-cards-search-1.htm"), encoding="utf-8") as f:
        page = f.read()
    cards = list(re.finditer(r'<li class="s-card s-card--horizontal" id="item\w+" data-listingid="(2368\d{8})".*?'
                             r'</li>\n', page, re.S))
    first, end = cards[0].start(), cards[-1].end()
    body = "".join(cards[i % len(cards)][0].replace(cards[i % len(cards)][1], str(500000000000 + number * 10000 + i))
                   for i in range(count))
    page = page[:first] + body + page[end:]
    link = '<a class="pagination__next icon-link" type="next" aria-label="Go to next search page"'
    at = page.index(link) + len(link)
    tail = page[at:page.index(">", at)]
    return page[:at] + (' aria-disabled="true"' if last else f' href="big-search-{number + 1}.htm"') + \
        page[at + len(tail):]


def run_big_walk():
    """Add All Pages over QB_E2E_WALK_PAGES pages of QB_E2E_WALK_LISTINGS listings (default 3 of 240): the time
    each page's read, harvest and write add after its load, from the program's log; QB_E2E_WALK_JSON names a file
    for the figures as benchmark JSON."""
    pages = int(os.environ.get("QB_E2E_WALK_PAGES", "3"))
    listings = int(os.environ.get("QB_E2E_WALK_LISTINGS", "240"))
    global WORKDIR
    WORKDIR = os.path.join(os.path.dirname(os.path.abspath(WORKDIR)), "big-walk")
    shutil.rmtree(WORKDIR, ignore_errors=True)
    os.makedirs(WORKDIR)
    for number in range(1, pages + 1):
        name = "base.htm" if number == 1 else f"big-search-{number}.htm"
        with open(os.path.join(WORKDIR, name), "w", encoding="utf-8") as f:
            f.write(big_search_page(number, listings, number == pages))
    with running_program("failure-big-walk") as process:
        app, splash = wait_splash(process)
        press(wait_for("the Start button", lambda: find(splash, name="Start", role="push button"), 10))
        main = wait_for("the window Quellbid",
                        lambda: next((w for w in windows(app) if w.name == "Quellbid"), None), 20)
        wait_for("the search's first page", lambda: find(main, pattern=r" \| Gavelton$", role="document web"), 60)
        time.sleep(2)
        activate(process.pid, "Quellbid")
        xdotool("key", "shift+F7")
        end = f"{pages} pages, {pages * listings} sold listings: "
        status = wait_for("the walk's closing line", lambda: find(main, pattern="^" + re.escape(end), role="label"),
                          20 + pages * 40)
        times = walk_times(process)
        # Of that, the program's own part: from the browser's answer with the page's markup to the page read.
        with open(process.log_path, errors="replace") as f:
            steps = re.findall(r"quellbid.f7: (\d+) (Bro: key answered|walk: page read)", f.read())
        own = [int(t) - int(steps[i - 1][0]) for i, (t, step) in enumerate(steps) if step == "walk: page read"]
        log(f"big walk: {pages} pages of {listings} listings; ms per page after its load: {times}, of which the "
            f"program's own after the browser's answer: {own}; status bar {status.name!r}")
        screenshot("big-walk", process.pid, "Quellbid")
        press_to_exit(process, "menu item", "Exit")
    if os.environ.get("QB_E2E_WALK_JSON"):
        figures = [{"name": f"AddAllPages_PageAfterLoad/{listings}", "run_type": "iteration",
                    "real_time": sorted(times)[len(times) // 2], "time_unit": "ms", "max": max(times)},
                   {"name": f"AddAllPages_PageOwnPart/{listings}", "run_type": "iteration",
                    "real_time": sorted(own)[len(own) // 2], "time_unit": "ms", "max": max(own)}]
        with open(os.environ["QB_E2E_WALK_JSON"], "w") as f:
            json.dump({"benchmarks": figures}, f, indent=1)


def run_exit_from_splash():
    with running_program("failure-splash-exit") as process:
        app, splash = wait_splash(process)
        wait_for("the splash Exit button", lambda: find(splash, name="Exit", role="push button"), 10)
        press_to_exit(process, "push button", "Exit")


def main():
    try:
        if os.environ.get("QB_E2E_WALK_ONLY"):  # the walk alone, while working on it
            run_add_all_pages()
        elif os.environ.get("QB_E2E_BIG_WALK_ONLY"):  # make bench's figure
            run_big_walk()
        elif not os.environ.get("QB_E2E_BIG_ONLY"):
            run_main_journey()
            for f in snapshots():
                os.remove(os.path.join(WORKDIR, f))
            run_exit_from_splash()
            if snapshots():
                raise Failure("Exit on the splash left a snapshot file")
            check_search_form()
            run_card_pages()
            run_add_all_pages()
        if not os.environ.get("QB_E2E_WALK_ONLY") and not os.environ.get("QB_E2E_BIG_WALK_ONLY"):
            run_big_pages()
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
