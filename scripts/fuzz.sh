#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz/targets with clang's libFuzzer
# (AddressSanitizer and UndefinedBehaviorSanitizer on) in build/fuzz and runs
# each for SECONDS (default 300) from its seed corpus and kept regression
# inputs, then prints the executions and coverage each reached.
#   scripts/fuzz.sh [--seconds N] [TARGET...]     TARGET: csv, expression, ...
# New inputs that reach new code go to build/fuzz/corpus/TARGET (not into the
# repository). An input that crashes a target is written to
# tests/fuzz/regressions/TARGET/, where it stays as a regression input that
# every build replays; the script then exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=300
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
if [ ${#targets[@]} -eq 0 ]; then
  targets=()
  for source in tests/fuzz/targets/*_fuzzer.cpp; do
    name=$(basename "$source" _fuzzer.cpp)
    targets+=("$name")
  done
fi
scripts/install-deps.sh

build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLEDORA_FUZZ=ON -DLEDORA_BENCH=OFF -DLEDORA_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/%/_fuzzer}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
summary=()
for name in "${targets[@]}"; do
  corpus="$build/corpus/$name"
  regressions="tests/fuzz/regressions/$name"
  mkdir -p "$corpus" "$regressions"
  log="$build/$name.log"
  # Absolute paths: a target may change its current folder.
  if ! "$build/tests/${name}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
      -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$PWD/$regressions/" \
      "$PWD/$corpus" "$PWD/tests/fuzz/corpus/$name" "$PWD/$regressions" >"$log" 2>&1; then
    failed=1
    echo "fuzz: $name failed; the input is kept in $regressions/ (log: $log)" >&2
    tail -n 30 "$log" >&2
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  cov=$(grep -Eo '#[0-9]+[[:space:]]+DONE[[:space:]]+cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1 | sed 's/.*cov: //' || true)
  summary+=("$(printf '%-16s %10s executions   cov: %s' "$name" "${runs:-?}" "${cov:-?}")")
done
printf '%s\n' "${summary[@]}"
exit "$failed"
