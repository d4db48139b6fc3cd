#!/usr/bin/env bash
# Builds ledora and starts it on a data folder (default ~/ledora-data, or
# LEDORA_DATA). An empty folder is filled with sample data first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target ledora

data="${LEDORA_DATA:-$HOME/ledora-data}"
mkdir -p "$data"
args=(--data "$data")
if [ -z "$(ls -A "$data")" ]; then
  args+=(--demo)
fi
exec "$build/ledora" "${args[@]}" "$@"
