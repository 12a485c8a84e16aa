#!/usr/bin/python3
"""The real program killed (SIGKILL) while it writes a named research file: a stream of writing commands (F7, a
sort, Delete All Zero Bid Items, Clear Grid Only) typed and clicked quickly, a kill at a moment of its own each round.
After each kill the file opens, is whole and holds what complete commands left; the next round opens it in the
program, whose grid shows its rows.

Run by e2e_quellbid.sh (its fourth argument): e2e_killed.py <quellbid> <working folder> <screenshot folder>
QB_E2E_SEED fixes the random moments (the log names the seed of each run).
"""

import csv
import io
import os
import random
import re
import sqlite3
import struct
import subprocess
import sys
import time

import e2e_quellbid as e2e
from e2e_quellbid import Failure, activate, find, log, wait_for, xdotool

RECORDS = 3000  # about 1.7 MB of page: each F7 writes that many rows in one transaction
RANDOM_KILLS = 5


def harvester():
    return os.path.join(os.path.dirname(e2e.PROGRAM), "quellbid-harvest")


def page_rows(path):
    """Item number -> bids of the rows quellbid-harvest reads from the file or page."""
    run = subprocess.run([harvester(), path], capture_output=True, timeout=60)
    if run.returncode != 0:
        raise Failure(f"quellbid-harvest {path}: status {run.returncode}: {run.stderr.decode(errors='replace')}")
    rows = list(csv.reader(io.StringIO(run.stdout.decode("utf-8"))))[1:]
    return {r[0]: r[1] for r in rows}


def check_file(path, page, zero):
    """The file after a kill: whole, and in a state complete commands leave. Returns its item numbers in grid
    order."""
    db = sqlite3.connect(path)
    try:
        integrity = db.execute("PRAGMA integrity_check").fetchall()
        if integrity != [("ok",)]:
            raise Failure(f"integrity check after the kill: {integrity}")
        rows = db.execute("SELECT CAST(item_number AS TEXT), position, harvest FROM rows"
                          " ORDER BY position, id").fetchall()
        lines = db.execute("SELECT id, added, in_grid FROM harvests").fetchall()
    finally:
        db.close()
    items = [r[0] for r in rows]
    if len(set(items)) != len(items) or len({r[1] for r in rows}) != len(rows):
        raise Failure("a row or a position twice: a command went in by halves")
    held = set(items)
    if held not in (set(), set(page), set(page) - zero):
        raise Failure(f"{len(held)} rows: neither none, the page's {len(page)} nor those without zero bids")
    # Each harvest is whole (less the zero-bid rows once they were removed) or gone.
    shapes = {len(page): set(page), len(zero): zero, 0: set()}
    for line, added, in_grid in lines:
        if added not in shapes or added + in_grid != len(page):
            raise Failure(f"harvest {line}: {added} added, {in_grid} in the grid, of a page of {len(page)} rows")
        came = {r[0] for r in rows if r[2] == line}
        if came not in (set(), shapes[added], shapes[added] - zero):
            raise Failure(f"harvest {line} of {added} rows holds {len(came)}")
    if any(r[2] not in {line[0] for line in lines} for r in rows):
        raise Failure("a row of no harvest")
    read = page_rows(path)
    if set(read) != held:
        raise Failure(f"quellbid-harvest reads {len(read)} rows of the file's {len(held)}")
    return items


def logged(process, pattern):
    with open(process.log_path, errors="replace") as f:
        return re.search(pattern, f.read())


def wal_state(path):
    try:
        info = os.stat(path + "-wal")
        return info.st_size, info.st_mtime_ns
    except FileNotFoundError:
        return None


def frames_after_commit(path):
    """The write-ahead log's frames after its last commit: how far the kill cut into a transaction."""
    try:
        with open(path + "-wal", "rb") as f:
            log_bytes = f.read()
    except FileNotFoundError:
        return 0
    if len(log_bytes) < 32:
        return 0
    page_size, salts = struct.unpack(">I", log_bytes[8:12])[0], log_bytes[16:24]
    frames, at = 0, 32
    while at + 24 + page_size <= len(log_bytes) and log_bytes[at + 8:at + 16] == salts:
        commit = struct.unpack(">I", log_bytes[at + 4:at + 8])[0]
        frames = 0 if commit else frames + 1
        at += 24 + page_size
    return frames


def kill_when_written(process, path, command, timeout=20):
    """Runs the command, then SIGKILL the moment the file's write-ahead log changes: in the middle of its write."""
    before = wal_state(path)
    command()
    end = time.monotonic() + timeout
    while wal_state(path) == before:
        if time.monotonic() > end:
            raise Failure("the command wrote nothing to the file")
    process.kill()


class Window:
    """The research window's controls the stream uses, found once: toolbar buttons and the Amount header."""

    def __init__(self, app, process, main, title):
        self.app, self.process, self.main, self.title = app, process, main, title
        self.table = wait_for("the grid", lambda: find(main, role="table", name="Research grid"), 10)
        self.places = {}

    def place(self, name):
        """Where the control is (found once: the header only shows while the grid has rows)."""
        if name not in self.places:
            if name == "sort":
                self.places[name] = wait_for("the Amount header",
                                             lambda: self.middle(self.table.queryTable().getColumnHeader(2)), 10)
            else:
                self.places[name] = wait_for(f"the {name} button",
                                             lambda: self.middle(find(self.main, name=name, role="push button")), 10)
        return self.places[name]

    @staticmethod
    def middle(acc):
        x, y, w, h = acc.queryComponent().getExtents(e2e.pyatspi.DESKTOP_COORDS)
        return str(x + w // 2), str(y + h // 2)

    def rows(self):
        return self.table.queryTable().nRows

    def command(self, name):
        if name == "F7":
            xdotool("key", "F7")
        else:
            xdotool("mousemove", *self.place(name), "click", "1")


COMMANDS = ["F7", "F7", "sort", "Delete All Zero Bid Items", "Clear Grid Only"]


def open_in_program(process, path, items):
    """Start on the splash opens the file: the window's title names it and its grid shows the file's rows, the first
    ones in the file's order."""
    app, splash = e2e.wait_splash(process)
    e2e.press(wait_for("the Start button", lambda: find(splash, name="Start", role="push button"), 10))
    title = os.path.basename(path) + " - Quellbid"
    main = wait_for(f"the window {title}", lambda: next((w for w in e2e.windows(app) if w.name == title), None), 30)
    window = Window(app, process, main, title)
    wait_for(f"{len(items)} rows in the grid", lambda: window.rows() == len(items), 30)
    first = [window.table.queryTable().getAccessibleAt(r, 0).name for r in range(min(5, len(items)))]
    if first != items[:5]:
        raise Failure(f"the grid starts with {first}, the file with {items[:5]}")
    # The page is in: the browser has read it ahead for F7 (the program's log says so).
    wait_for("the page read ahead", lambda: logged(process, r"Bro: read ahead \d+ answered, kept"), 60)
    activate(process.pid, title)
    return window


def first_f7(window, page):
    """A window's first F7 on a table page tells once that only dollar auctions are added; the grid then holds
    the page's rows."""
    window.command("F7")
    app = window.app
    box = wait_for("the dollar notice", lambda: next((w for w in e2e.windows(app) if w.name == "Information"), None),
                   30)
    e2e.press(wait_for("its OK button", lambda: find(box, name="OK", role="push button"), 10))
    wait_for("the notice to close", lambda: len(e2e.windows(app)) == 1, 10)
    wait_for("all the page's rows", lambda: window.rows() == len(page), 30)
    activate(window.process.pid, window.title)
    for name in set(COMMANDS) - {"F7"}:
        window.place(name)


def kill_round(number, moment, path, items, page, zero, rng):
    with e2e.running_program(f"failure-kill-{number}", path) as process:
        window = open_in_program(process, path, items)
        first_f7(window, page)
        if moment in ("F7", "sort"):
            # The grid empty before an F7 (full before a sort); then the kill at its first write.
            if moment == "F7":
                window.command("Clear Grid Only")
                wait_for("the grid to empty", lambda: window.rows() == 0, 30)
            time.sleep(0.5)
            kill_when_written(process, path, lambda: window.command(moment))
            said = f"right after the {moment} began to write"
        else:
            stream = []
            end = time.monotonic() + moment
            while time.monotonic() < end:
                stream.append(rng.choice(COMMANDS))
                window.command(stream[-1])
                time.sleep(rng.uniform(0.01, 0.3))
            process.kill()
            said = f"{moment:.2f} s into {len(stream)} commands ({', '.join(stream)})"
        process.wait(timeout=10)
    cut = frames_after_commit(path)
    said += f"; {cut} frames of a transaction cut short in the log" if cut else "; no transaction cut short"
    for snapshot in e2e.snapshots():
        os.remove(os.path.join(e2e.WORKDIR, snapshot))
    items = check_file(path, page, zero)
    log(f"kill {number}, {said}: the file is whole and holds {len(items)} rows")
    return items


def main():
    seed = int(os.environ.get("QB_E2E_SEED") or time.time())
    log(f"seed {seed}")
    rng = random.Random(seed)
    start_page = os.path.join(e2e.WORKDIR, "base.htm")
    with open(start_page, "w", encoding="utf-8") as f:
        f.write(e2e.big_table_page(RECORDS))
    page = page_rows(start_page)
    zero = {item for item, bids in page.items() if bids == "0"}
    if not page or not zero or len(zero) == len(page):
        raise Failure(f"the page has {len(page)} rows, {len(zero)} of them without bids")
    # The research starts as the harvester makes it: the page's rows, one harvest.
    path = os.path.join(e2e.WORKDIR, "killed.quellbid")
    made = subprocess.run([harvester(), "--into", path, start_page], capture_output=True, timeout=60)
    if made.returncode != 0:
        raise Failure(f"quellbid-harvest --into: {made.stderr.decode(errors='replace')}")
    items = check_file(path, page, zero)
    # The sort's kill last: the file keeps the page's rows for the picture.
    moments = ["F7"] + [rng.uniform(0.2, 4.0) for _ in range(RANDOM_KILLS)] + ["sort"]
    for number, moment in enumerate(moments, 1):
        items = kill_round(number, moment, path, items, page, zero, rng)
    # Once more, to look at: the window on the killed file; closing it ends the program (Alt+F4: a search of the
    # menus for Exit would walk every cell of the grid first).
    with e2e.running_program("failure-reopened", path) as process:
        window = open_in_program(process, path, items)
        time.sleep(1)
        e2e.screenshot("reopened-after-kill", process.pid, window.title)
        activate(process.pid, window.title)
        xdotool("key", "alt+F4")
        status = e2e.wait_exit(process, 30)
        if status != 0:
            raise Failure(f"exit status {status} after closing the window")
    if check_file(path, page, zero) != items:
        raise Failure("opening the file in the program changed its rows")


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        log(f"FAILED: {failure}")
        sys.exit(1)
    log("PASSED")
