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
echo "== F7 on a 6 000-record page in the real program, accessibility bus on"
# The end-to-end test's big-page case alone (minutes: the engine loads such a page slowly under the bus).
QB_E2E_BIG_ONLY=1 QB_E2E_BIG_RECORDS=${QB_BENCH_BIG_RECORDS:-6000} QB_E2E_BIG_JSON="$out/f7-big-page.json" \
  bash tests/app/e2e_quellbid.sh "$(realpath "$build")/quellbid" "$PWD" "$(realpath "$out")/e2e" \
  | grep -E "big page|FAILED|SKIP" || status=1
echo "== Add All Pages over 240-listing pages in the real program"
QB_E2E_BIG_WALK_ONLY=1 QB_E2E_WALK_PAGES=6 QB_E2E_WALK_JSON="$out/add-all-pages.json" \
  bash tests/app/e2e_quellbid.sh "$(realpath "$build")/quellbid" "$PWD" "$(realpath "$out")/e2e-walk" \
  | grep -E "big walk|FAILED|SKIP" || status=1
echo "== summary"
/usr/bin/python3 scripts/bench-summary.py "$out"/*.json || status=1
exit $status
