#!/usr/bin/env bash
# Builds the GUI-free libraries, tools and their tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/ and runs those tests. QB_WERROR=ON
# makes warnings errors (make test sets it).
set -euo pipefail
dir=${1:-build-asan}
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQB_CORE_ONLY=ON -DQB_BENCH=OFF \
  -DQB_WERROR="${QB_WERROR:-OFF}" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$dir"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$dir" --output-on-failure -j2
