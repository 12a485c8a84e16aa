#!/usr/bin/python3
"""quellbid-harvest as a whole process against `grep -c` of one marker over
the same generated table-layout page (pages/sample-lamps.htm with its records
repeated under fresh item numbers).  Prints the median wall-clock times, the
peak memory (max RSS) and their ratios, and writes them as benchmark JSON for
bench-summary.py.
usage: bench-harvest-cli.py BUILD-DIR [OUT.json] [MB] [RUNS]"""

import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
out_json = sys.argv[2] if len(sys.argv) > 2 else None
megabytes = float(sys.argv[3]) if len(sys.argv) > 3 else 17.7
runs = int(sys.argv[4]) if len(sys.argv) > 4 else 15
marker = 'type="checkbox"'

source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pages", "sample-lamps.htm")
with open(source, "rb") as f:
    sample = f.read()
rows = re.findall(rb"<tr[^>]*>\n<td class=\"cb\">.*?</tr>\n", sample, re.S)
head = sample[:sample.index(rows[0])]
tail = sample[sample.index(rows[-1]) + len(rows[-1]):]

size = int(megabytes * 1e6)
parts = [head]
length = len(head) + len(tail)
item = 4512100000
while length < size:
    row = re.sub(rb"45120033\d\d", str(item).encode(), rows[item % len(rows)])
    parts.append(row)
    length += len(row)
    item += 1
parts.append(tail)
page = b"".join(parts)


def run(command):
    """Wall-clock ms of one run."""
    start = time.perf_counter()
    status = subprocess.call(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if status not in (0, 1):
        sys.exit(f"{command[0]} failed with status {status}")
    return (time.perf_counter() - start) * 1000


def peak_kib(command):
    """Max RSS of one run, through /usr/bin/time: a child's own figure would
    include this script's memory, which it inherits until exec."""
    with tempfile.NamedTemporaryFile("r") as report:
        subprocess.call(["/usr/bin/time", "-f", "%M", "-o", report.name] + command,
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return int(report.read().split()[-1])


with tempfile.TemporaryDirectory() as work:
    path = os.path.join(work, "big-lamps.htm")
    with open(path, "wb") as f:
        f.write(page)
    harvest = [os.path.join(build, "quellbid-harvest"), path]
    grep = ["grep", "-c", marker, path]
    run(harvest), run(grep)  # warm the caches
    # Interleaved, so a busy moment of the machine hits both alike.
    times = [(run(harvest), run(grep)) for _ in range(runs)]
    harvest_ms = statistics.median(t[0] for t in times)
    grep_ms = statistics.median(t[1] for t in times)
    has_time = os.access("/usr/bin/time", os.X_OK)
    harvest_kb = peak_kib(harvest) if has_time else 0
    grep_kb = peak_kib(grep) if has_time else 0

page_kb = len(page) / 1024
records = len(parts) - 2
print(f"page: {len(page) / 1e6:.1f} MB, {records} records, {runs} runs (median)")
print(f"  quellbid-harvest  {harvest_ms:7.1f} ms  peak {harvest_kb / 1024:6.1f} MiB")
print(f"  grep -c           {grep_ms:7.1f} ms  peak {grep_kb / 1024:6.1f} MiB")
print(f"  time ratio {harvest_ms / grep_ms:.2f}x (<= 8x), peak / page {harvest_kb / page_kb:.2f}x (<= 1.5x)"
      + ("" if has_time else " (no /usr/bin/time: peak not measured)"))

if out_json:
    label = f"{len(page) / 1e6:.1f}MB"
    with open(out_json, "w") as f:
        json.dump({"benchmarks": [
            {"name": f"CLI_Harvest/{label}", "run_type": "iteration", "real_time": harvest_ms,
             "time_unit": "ms", "max_rss_kib": harvest_kb, "page_bytes": len(page), "records": records},
            {"name": f"CLI_GrepCount/{label}", "run_type": "iteration", "real_time": grep_ms,
             "time_unit": "ms", "max_rss_kib": grep_kb, "page_bytes": len(page)},
        ]}, f, indent=1)
