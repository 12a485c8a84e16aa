#!/usr/bin/env bash
# Builds every fuzz target (fuzz/fuzz_*.cpp) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, then runs each one for
# FUZZ_SECONDS (default 60). A target's seed corpus is fuzz/corpus_<name>/ and
# its dictionary fuzz/fuzz_<name>.dict, when they exist. Extra libFuzzer
# options: FUZZ_ARGS; FUZZ_TARGETS (names, e.g. "fuzz_cards fuzz_cards_differential")
# runs only those. Exits non-zero when any target reports a finding.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${FUZZ_BUILD:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}

if [[ ! -f "$build/build.ninja" ]]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DQB_CORE_ONLY=ON -DQB_FUZZ=ON -DQB_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -g"
else
  cmake "$build" >/dev/null  # picks up targets added since
fi

targets=()
for src in fuzz/fuzz_*.cpp; do
  [[ -f "$src" ]] || continue
  name=$(basename "$src" .cpp)
  if [[ -z "${FUZZ_TARGETS:-}" || " $FUZZ_TARGETS " == *" $name "* ]]; then targets+=("$name"); fi
done
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "No fuzz targets in fuzz/" >&2
  exit 1
fi
cmake --build "$build" --target "${targets[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
status=0
for name in "${targets[@]}"; do
  short=${name#fuzz_}
  corpus="$build/corpus/$name"
  artifacts="$build/artifacts/$name/"
  mkdir -p "$corpus" "$artifacts"
  if [[ -d "fuzz/corpus_$short" ]]; then
    cp -n "fuzz/corpus_$short"/* "$corpus"/ 2>/dev/null || true
  fi
  options=(-max_total_time="$seconds" -artifact_prefix="$artifacts" -print_final_stats=1)
  [[ -f "fuzz/$name.dict" ]] && options+=(-dict="fuzz/$name.dict")
  echo "== $name for ${seconds}s"
  # shellcheck disable=SC2086
  if ! "$build/fuzz/$name" "${options[@]}" ${FUZZ_ARGS:-} "$corpus"; then
    echo "!! $name reported a finding; reproducer in $artifacts" >&2
    status=1
  fi
done
exit $status
