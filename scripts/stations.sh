#!/usr/bin/env bash
# The stations tests for the full minute: 16 stations on PostgreSQL and 8 on
# one data folder save invoices, import and delete at once, then the data is
# checked. CI runs the same tests for a few seconds. Needs a built tree.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
LEDORA_STATIONS_SECONDS=${LEDORA_STATIONS_SECONDS:-60} \
  "$build/tests/stations_tests" --gtest_filter='*NeitherRefuseNorLose*'
