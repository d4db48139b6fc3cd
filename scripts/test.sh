#!/usr/bin/env bash
# Builds ledora and runs every test. With --sanitize, builds a second tree
# under AddressSanitizer and UndefinedBehaviorSanitizer and runs the unit
# tests there, and then runs each fuzz target for a short while
# (scripts/fuzz.sh; FUZZ_SECONDS, default 15 each).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build/release
# A warning in our own code fails the build, here as in CI.
cmake_flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEDORA_WERROR=ON)
ctest_flags=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build/sanitize
  cmake_flags=(-DCMAKE_BUILD_TYPE=Debug -DLEDORA_SANITIZE=ON -DLEDORA_BENCH=OFF -DLEDORA_WERROR=ON)
  ctest_flags=(-LE 'gui|install|stations')
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0
  export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # The kill tests look for torn data; the normal pass kills 200 times.
  export LEDORA_KILLS=${LEDORA_KILLS:-60}
fi

cmake -S . -B "$build" -G Ninja "${cmake_flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

# Real-window tests need a display; Xvfb gives one on a machine without,
# with a window manager on it, as users have.
run=(ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "${ctest_flags[@]}")
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" scripts/with-window-manager.sh "${run[@]}"
else
  "${run[@]}"
fi

if [ "${1:-}" = "--sanitize" ]; then
  scripts/fuzz.sh --seconds "${FUZZ_SECONDS:-15}"
fi
