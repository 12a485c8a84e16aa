#!/usr/bin/env bash
# Renews the pictures in docs/: first those drawn without the program, then
# the screenshots that the end-to-end run of the real program takes.
# usage: pictures.sh <quellbid-pictures> <source folder> <work folder> [<quellbid>]
set -uo pipefail

generator=$1
source_dir=$2
work=$3
program=${4:+$(readlink -f "$4")}
docs=$source_dir/docs
status=0

mkdir -p "$work" "$docs"
QT_QPA_PLATFORM=offscreen "$generator" "$docs" || status=1

if [[ -z "$program" ]]; then
  echo "pictures: the program is not part of this build; its screenshots in docs/ stay as they are"
  exit $status
fi

QB_E2E_STATISTICS=1 bash "$source_dir/tests/app/e2e_quellbid.sh" "$program" "$source_dir" "$work/e2e"
e2e=$?
if ((e2e == 77)); then
  echo "pictures: the display tools are missing (make setup installs them); screenshots not renewed"
  exit 1
fi
((e2e == 0)) || { echo "pictures: the end-to-end run failed; screenshots not renewed"; exit 1; }

shots=$work/e2e/shots
take() {  # take <screenshot> <picture> [<crop geometry>]
  local from=$shots/$1 to=$docs/$2
  if [[ ! -f "$from" ]]; then
    echo "pictures: the run took no screenshot $1"
    status=1
    return
  fi
  local new=$work/new-$2
  if [[ -n "${3:-}" ]]; then
    convert "$from" -crop "$3" +repage "$new" || { status=1; return; }
  else
    cp "$from" "$new"
  fi
  # A picture whose pixels did not change keeps its file.
  if [[ -f "$to" && "$(compare -metric AE "$new" "$to" null: 2>&1)" == 0 ]]; then
    rm -f "$new"
    echo "$to (unchanged)"
  else
    mv "$new" "$to"
    echo "$to"
  fi
}
take 0-splash-window.png splash.png
take 1-page-1-harvested-window.png research-window-harvest.png
take 6-sorted-by-amount-window.png research-window-sorted.png
# The research window at the left edge, the calculator beside it.
take 8-calculator.png calculator-beside-research-window.png 1160x695+0+0
take 9-about-window.png about.png
exit $status
