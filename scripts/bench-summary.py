#!/usr/bin/python3
"""Prints the budgets side by side from Google Benchmark JSON files:
harvest throughput, the 10x scaling ratios, the ratio to the memmem floor and
the grid and statistics times, research files, quellbid-harvest against grep, F7 on a big page.  usage: bench-summary.py FILE.json..."""

import json
import sys

results = {}
for path in sys.argv[1:]:
    with open(path) as f:
        for b in json.load(f)["benchmarks"]:
            if b.get("run_type", "iteration") == "iteration":
                results[b["name"]] = b


def ms(name):
    b = results.get(name)
    if b is None:
        return None
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
    return b["real_time"] * scale


def line(label, value, budget, ok):
    mark = "" if value is None else ("ok" if ok else "OVER BUDGET")
    shown = "n/a" if value is None else value
    print(f"  {label:<46} {shown:>14}   {budget:<16} {mark}")


print("Harvest (realistic 20 MB page; 10x = 200 MB page time / 20 MB page time; floor = harvest / memmem)")
for name, floor in (("BM_HarvestTable", "BM_MemmemFloorTable"), ("BM_HarvestScript", "BM_MemmemFloorScript")):
    t20 = ms(f"{name}/20")
    if t20:
        line(f"{name[3:]} throughput", f"{20 * 1048576 / (t20 / 1000) / 1e6:.0f} MB/s", ">= 300 MB/s",
             20 * 1048576 / (t20 / 1000) / 1e6 >= 300)
        f20 = ms(f"{floor}/20")
        if f20:
            line(f"{name[3:]} / memmem floor", f"{t20 / f20:.2f}x", "<= 4x", t20 / f20 <= 4)
for name in ("BM_HarvestTable", "BM_HarvestTableNoBold", "BM_HarvestScript", "BM_HarvestScriptNoQuotes"):
    t20, t200 = ms(f"{name}/20"), ms(f"{name}/200")
    if t20 and t200:
        line(f"{name[3:]} 10x ratio", f"{t200 / t20:.2f}x", "<= 12x", t200 / t20 <= 12)

print("Card harvest (realistic 3 MB card page; 10x = 30 MB page time / 3 MB page time)")
t3 = ms("BM_HarvestCards/3")
if t3:
    line("HarvestCards throughput", f"{3 / (t3 / 1000):.0f} MB/s", ">= 200 MB/s", 3 / (t3 / 1000) >= 200)
for name in ("BM_HarvestCards", "BM_HarvestCardsUnclosed", "BM_HarvestCardsBare", "BM_HarvestCardsEndlessAttribute"):
    t3, t30 = ms(f"{name}/3"), ms(f"{name}/30")
    if t3 and t30:
        line(f"{name[3:]} 10x ratio", f"{t30 / t3:.2f}x", "<= 12x", t30 / t3 <= 12)

print("Grid and statistics (100 000 rows)")
for name, label, budget in (
        ("BM_AddGridRow100k/iterations:5", "AddGridRow x 100 000 (one batch)", 200),
        ("BM_AddGridRowOneByOne100k/iterations:3", "AddGridRow x 100 000 (one by one)", 200),
        ("BM_RemovalPassHalf100k/iterations:5", "removal pass, half the rows", 50),
        ("BM_PriceFilterHalf100k/iterations:5", "price filter, half the rows", 50),
        ("BM_Sort100k/2/iterations:5", "sort by Amount", 150),
        ("BM_Sort100k/3/iterations:5", "sort by Description", 150),
        ("BM_Sort100k/0/iterations:5", "sort by Item Number", 150),
        ("BM_Sort100k/4/iterations:5", "sort by Sold", 150),
        ("BM_Sort100k/5/iterations:5", "sort by Delivery", 150),
        ("BM_Sort100k/6/iterations:5", "sort by Condition", 150),
        ("BM_Clear100k/iterations:5", "clear", 10),
        ("BM_ComputeStatistics/100000", "statistics", 20)):
    t = ms(name)
    line(label, None if t is None else f"{t:.1f} ms", f"<= {budget} ms", t is not None and t <= budget)

print("Research files (100 000 rows of seven columns)")
for name, label, budget in (
        ("BM_ResearchCopyTo100k/iterations:5/real_time", "Save As (CopyTo)", 500),
        ("BM_ResearchOpenLoad100k/iterations:5/real_time", "Open + Load", 500),
        ("BM_ResearchAddRows240Into100k/iterations:20/real_time", "240-row harvest into the file", 50)):
    t = ms(name)
    line(label, None if t is None else f"{t:.1f} ms", f"<= {budget} ms", t is not None and t <= budget)

harvest = next((b for n, b in results.items() if n.startswith("CLI_Harvest/")), None)
grep = next((b for n, b in results.items() if n.startswith("CLI_GrepCount/")), None)
if harvest and grep:
    print(f"quellbid-harvest as a process ({harvest['name'].split('/')[1]} table page, against grep -c of one marker)")
    ratio = harvest["real_time"] / grep["real_time"]
    line("time / grep -c", f"{ratio:.2f}x", "<= 8x", ratio <= 8)
    if harvest.get("max_rss_kib"):
        peak = harvest["max_rss_kib"] * 1024 / harvest["page_bytes"]
        line("peak memory / page size", f"{peak:.2f}x", "<= 1.5x", peak <= 1.5)

big = [b for n, b in sorted(results.items()) if n.startswith("F7_BigTablePage_AccessibilityBus/")]
if big:
    print("F7 in the real program, big table page, accessibility bus on (F7 to every row in the grid)")
    for b in big:
        took = b["real_time"] / 1000
        line(f"{b['name'].split('/')[1]} records, {b['megabytes']:.1f} MB", f"{took:.2f} s", "<= 1 s", took <= 1)

walk = [(n, b) for n, b in sorted(results.items()) if n.startswith("AddAllPages_")]
if walk:
    print("Add All Pages in the real program, 240-listing pages (time a page adds after its load; median, max)")
    for n, b in walk:
        label = "the program's own part" if n.startswith("AddAllPages_PageOwnPart") else "in all, browser's answer too"
        line(label, f"{b['real_time']:.0f}, {b['max']:.0f} ms", "<= 150 ms", b["real_time"] <= 150)
for name, label in (("BM_NextPageHref240", "next-page link of a 240-listing page"),
                    ("BM_WalkPage240", "harvest + next-page link, 240 listings")):
    t = ms(name)
    if t is not None:
        line(label, f"{t:.2f} ms", "<= 150 ms", t <= 150)
