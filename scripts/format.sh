#!/usr/bin/env bash
# Formats every tracked C++ file with the root .clang-format.
# --check changes nothing and fails, naming the files, when one is not formatted.
set -euo pipefail
cd "$(dirname "$0")/.."

formatter=""
for candidate in clang-format-14 clang-format; do
  if command -v "$candidate" >/dev/null; then formatter="$candidate"; break; fi
done
[[ -n "$formatter" ]] || { echo "format: clang-format is not installed (make setup installs it)" >&2; exit 1; }

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ "${1:-}" == "--check" ]]; then
  if ! "$formatter" --dry-run --Werror "${files[@]}" 2>/tmp/qb-format.$$; then
    echo "format: these files are not formatted (run make format):" >&2
    grep -o '^[^:]*:[0-9]*:[0-9]*: error' /tmp/qb-format.$$ | cut -d: -f1 | sort -u | sed 's/^/  /' >&2
    rm -f /tmp/qb-format.$$
    exit 1
  fi
  rm -f /tmp/qb-format.$$
else
  "$formatter" -i "${files[@]}"
fi
