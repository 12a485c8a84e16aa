#!/usr/bin/env bash
# Runs every benchmark program of the build, then the start-up time, then a
# summary of the figures against their budgets.
set -euo pipefail
build=${1:-build}
out="$build/bench-results"
mkdir -p "$out"
rm -f "$out"/*.json
status=0
for b in "$build"/bench/bench_*; do
  [[ -f "$b" && -x "$b" ]] || continue
  name=$(basename "$b")
  echo "== $name"
  "$b" --benchmark_counters_tabular=true --benchmark_out="$out/$name.json" --benchmark_out_format=json || status=1
done
echo "== start-up"
bash scripts/startup-time.sh "$build" 5 || status=1
echo "== quellbid-harvest against grep -c"
/usr/bin/python3 scripts/bench-harvest-cli.py "$build" "$out/harvest-cli.json" || status=1
echo "== summary"
/usr/bin/python3 scripts/bench-summary.py "$out"/*.json || status=1
exit $status
